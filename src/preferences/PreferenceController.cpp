// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreferenceController.h"

#include "AppearancePane.h"
#include "GeneralPane.h"
#include "PaneSwitcher.h"
#include "hardware/IORegistryEntry.h"
#include "measurement/IntelModels.h"
#include "platform/ApplicationActivation.h"
#include "platform/SettingsPages.h"
#include "platform/WindowShortcuts.h"
#include "support/SharedWindow.h"
#include "ui_PreferencesWindowView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace calidra {
namespace {

SharedWindow<PreferenceController> sharedPreferenceController;

} // namespace

PreferenceController::PreferenceController(const QString& autostartFolder, bool intelModel)
    : m_ui(std::make_unique<Ui::PreferencesWindowView>()), isIntel(intelModel)
{
    m_ui->setupUi(this);
    awakeFromNib(autostartFolder);
}

PreferenceController::~PreferenceController() = default;

PreferenceController* PreferenceController::showPreferences(const QString& autostartFolder)
{
    return sharedPreferenceController.show([&autostartFolder] {
        return new PreferenceController(autostartFolder,
                                        IntelModels::isIntelModel(IORegistryEntry::machineModel()));
    });
}

void PreferenceController::awakeFromNib(const QString& autostartFolder)
{
    generalPreferencesView = new GeneralPane(autostartFolder, isIntel, this);
    displayPreferencesView = new AppearancePane(this);
    m_switcher = new PaneSwitcher(this, u"CLPreferencesToolbar"_qs);
    addCloseShortcuts(this);
    setupToolbar();
}

void PreferenceController::setupToolbar()
{
    QAction* general = m_switcher->addPane(
        u"CLGeneralPreferencesToolbarItem"_qs, QT_TRANSLATE_NOOP("Calidra", "&General"),
        QT_TRANSLATE_NOOP("Calidra", "General Preferences"), u"GeneralPreferences"_qs,
        generalPreferencesView, CLPreferencePaneSizes[0]);
    m_switcher->addPane(
        u"CLDisplayPreferencesToolbarItem"_qs, QT_TRANSLATE_NOOP("Calidra", "&Appearance"),
        QT_TRANSLATE_NOOP("Calidra", "Appearance Preferences"), u"AppearancePreferences"_qs,
        displayPreferencesView, CLPreferencePaneSizes[1]);
    showPane(general);
}

void PreferenceController::showWindow()
{
    if (!m_placed) {
        placeInCentre();
        m_placed = true;
    }
    showInFront(this);
}

QRect PreferenceController::centredFrame(QSize frame, const QRect& available)
{
    const QPoint centred(available.x() + (available.width() - frame.width()) / 2,
                         available.y() + (available.height() - frame.height()) / 2);
    // A window larger than the screen keeps its top left corner, and so its
    // title bar, on screen.
    return {QPoint(std::max(centred.x(), available.x()), std::max(centred.y(), available.y())),
            frame};
}

// The first showing puts the whole window, frame included, in the middle of
// the screen's free area; later pane switches keep its top edge from there.
void PreferenceController::placeInCentre()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    // move() places the frame, whose size is the window's own until a window
    // manager has framed it.
    move(centredFrame(frameGeometry().size(), screen->availableGeometry()).topLeft());
}

void PreferenceController::closeEvent(QCloseEvent* event)
{
    emit windowWillClose();
    deleteLater();
    QMainWindow::closeEvent(event);
}

void PreferenceController::showPane(QAction* item)
{
    m_switcher->showPane(item);
}

void PreferenceController::setResizeDuration(int milliseconds)
{
    m_switcher->setResizeDuration(milliseconds);
}

int PreferenceController::state() const
{
    return m_switcher->state();
}

void PreferenceController::chooseGauge(int row)
{
    generalPreferencesView->chooseGauge(row);
}

void PreferenceController::toggleLoginItem(bool on)
{
    generalPreferencesView->toggleLoginItem(on);
}

void PreferenceController::openRegionalSettings()
{
    SettingsPages::open(SettingsPages::Regional);
}

void PreferenceController::openStartupApplications()
{
    SettingsPages::open(SettingsPages::Autostart);
}

} // namespace calidra
