// SPDX-License-Identifier: GPL-3.0-or-later
#include "UninstallAlertController.h"

#include "BundleInstallation.h"
#include "Uninstall.h"
#include "formatting/ObjectFormat.h"
#include "hardware/IORegistryEntry.h"
#include "measurement/IntelModels.h"
#include "platform/ApplicationActivation.h"
#include "platform/ApplicationTermination.h"
#include "platform/Localization.h"
#include "support/SharedWindow.h"
#include "ui_UninstallAlertView.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>

namespace calidra {
namespace {

SharedWindow<UninstallAlertController> sharedUninstallAlertController;

// A mixed state counts as off, although the box calls itself checked then.
bool isOn(const QCheckBox* box)
{
    return box->checkState() == Qt::Checked;
}

} // namespace

UninstallAlertController::UninstallAlertController()
    : m_ui(std::make_unique<Ui::UninstallAlertView>())
{
    m_ui->setupUi(this);
    connect(m_ui->cancelButton, &QAbstractButton::clicked, this, &UninstallAlertController::cancel);
    connect(m_ui->justQuitButton, &QAbstractButton::clicked, this,
            &UninstallAlertController::justQuit);
    connect(m_ui->uninstallButton, &QAbstractButton::clicked, this,
            &UninstallAlertController::uninstall);
}

UninstallAlertController::~UninstallAlertController() = default;

void UninstallAlertController::showUninstallAlert()
{
    // Showing the open dialog again would undo the user's choices and run its
    // modal loop inside its own.
    if (UninstallAlertController* open = sharedUninstallAlertController.current();
        open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    sharedUninstallAlertController.show([] { return new UninstallAlertController(); });
}

void UninstallAlertController::showWindow()
{
    const bool isIntel = IntelModels::isIntelModel(IORegistryEntry::machineModel());
    // Without the boot entry there is nothing to remove, and nothing to ask a
    // password for.
    const bool bootEntry = isIntel && hasSpeedItBootEntry();
    m_ui->removeSpeedItSwitch->setChecked(bootEntry);
    m_ui->removeSpeedItSwitch->setEnabled(bootEntry);
    m_ui->intelCore1OptionsView->setVisible(isIntel);
    const int extra = showPackageRemoval();
    setMinimumHeight(minimumHeight() + extra);
    setMaximumHeight(maximumHeight() + extra);
    resize(isIntel ? maximumSize() : minimumSize());
    activateIgnoringOtherApps();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    exec();
}

int UninstallAlertController::showPackageRemoval()
{
    const std::optional<BundleInstallation> installation = BundleInstallation::ofMainBundle();
    const bool packaged = installation && installation->isPackaged();
    m_ui->removeApplicationSwitch->setChecked(!packaged);
    m_ui->removeApplicationSwitch->setEnabled(!packaged);
    if (!packaged) {
        return 0;
    }
    // The text's width in the fixed-width dialog, before any layout ran.
    const QMargins margins = layout()->contentsMargins();
    const int width = minimumWidth() - margins.left() - margins.right();
    QLabel* text = m_ui->informativeText;
    const int before = text->heightForWidth(width);
    text->setText(stringWithFormat(
        localizedFormat(QT_TRANSLATE_NOOP(
            "Calidra", "Choose what to remove before Calidra quits. Calidra itself was installed "
                       "by the package manager, which removes it: run “%@” in a terminal.")),
        {installation->removalCommand()}));
    return text->heightForWidth(width) - before;
}

void UninstallAlertController::cancel()
{
    done(Rejected);
    windowWillClose();
}

void UninstallAlertController::justQuit()
{
    done(Accepted);
    windowWillClose();
    ApplicationTermination::requestTermination();
}

void UninstallAlertController::uninstall()
{
    m_removing = true;
    if (isOn(m_ui->removeSpeedItSwitch)) {
        removeSpeedIt();
    }
    if (isOn(m_ui->removePreferencesSwitch)) {
        movePreferencesToTrash();
    }
    if (isOn(m_ui->removeApplicationSwitch)) {
        moveApplicationToTrash();
    }
    justQuit();
}

void UninstallAlertController::reject()
{
    if (!m_removing) {
        cancel();
    }
}

void UninstallAlertController::windowWillClose()
{
    deleteLater();
}

} // namespace calidra
