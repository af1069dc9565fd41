// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppearancePane.h"

#include "defaults/Settings.h"
#include "platform/Localization.h"
#include "ui_AppearancePane.h"

#include <cmath>

namespace calidra {

AppearancePane::AppearancePane(QWidget* parent)
    : PreferencePane(parent), m_ui(std::make_unique<Ui::AppearancePane>())
{
    m_ui->setupUi(this);
    bindUnit();
    bindFontSize();
    bindSwitch<Settings::ShowIcon>(m_ui->showIconSwitch);
    bindArrangement();
    explainPanelChoices();
}

AppearancePane::~AppearancePane() = default;

void AppearancePane::bindUnit()
{
    follow(Settings::DisplayUnit::name, [this] {
        const QSignalBlocker blocker(m_ui->displayUnitChooser);
        m_ui->displayUnitChooser->setCurrentIndex(int(defaults().value<Settings::DisplayUnit>()));
    });
    connect(m_ui->displayUnitChooser, &QComboBox::activated, this,
            [](int index) { defaults().setValue<Settings::DisplayUnit>(index); });
    bindSettingsPage(m_ui->regionalSettingsButton, SettingsPages::Regional,
                     QT_TRANSLATE_NOOP("Calidra", "No settings tool for regional settings was "
                                                  "found on this desktop."));
}

// The size and the arrangement are shown as stored; the panel decides them
// (explainPanelChoices), so their controls write nothing.
void AppearancePane::bindFontSize()
{
    follow(Settings::FontSize::name, [this] {
        const QSignalBlocker blocker(m_ui->fontSizeField);
        m_ui->fontSizeField->setValue(int(std::lround(defaults().value<Settings::FontSize>())));
    });
}

void AppearancePane::bindArrangement()
{
    follow(Settings::ArrangeVertically::name, [this] {
        const bool vertically = defaults().value<Settings::ArrangeVertically>();
        m_ui->arrangeVerticallyButton->setChecked(vertically);
        m_ui->arrangeSideBySideButton->setChecked(!vertically);
    });
}

// The panel, not the program, decides how large the values are and whether
// two of them stand on one line: a square tray slot is filled by the values,
// stacked, and a panel label is one line in the panel's font. The settings
// stay stored, but their controls say so instead of appearing to act; the
// icon's switch says where the icon shows.
void AppearancePane::explainPanelChoices()
{
    const QString size = localizedString(QT_TRANSLATE_NOOP(
        "Calidra", "The panel chooses the size: the values fill a tray icon, or take the "
                   "panel's font beside the icon."));
    const QString arrangement = localizedString(QT_TRANSLATE_NOOP(
        "Calidra", "The panel chooses the arrangement: two values are stacked in a tray "
                   "icon, and stand side by side in a panel label."));
    for (QWidget* control :
         {static_cast<QWidget*>(m_ui->fontSizeLabel), static_cast<QWidget*>(m_ui->fontSizeField)}) {
        control->setEnabled(false);
        control->setToolTip(size);
    }
    m_ui->textArrangementSwitch->setEnabled(false);
    m_ui->textArrangementSwitch->setToolTip(arrangement);
    m_ui->showIconSwitch->setToolTip(localizedString(QT_TRANSLATE_NOOP(
        "Calidra", "The icon stands before a panel label; in a tray icon it is shown only "
                   "while the values keep their size beside it.")));
}

} // namespace calidra
