// SPDX-License-Identifier: GPL-3.0-or-later
#include "UninstallAlertController.h"

#include "Uninstall.h"
#include "hardware/IORegistryEntry.h"
#include "measurement/IntelModels.h"
#include "platform/ApplicationActivation.h"
#include "platform/ApplicationTermination.h"
#include "support/SharedWindow.h"
#include "ui_UninstallAlertView.h"

#include <QCheckBox>
#include <QGuiApplication>
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
    sharedUninstallAlertController.show([] { return new UninstallAlertController(); });
}

void UninstallAlertController::showWindow()
{
    const bool isIntel = IntelModels::isIntelModel(IORegistryEntry::machineModel());
    m_ui->removeSpeedItSwitch->setChecked(isIntel);
    m_ui->intelCore1OptionsView->setVisible(isIntel);
    resize(isIntel ? maximumSize() : minimumSize());
    m_ui->removeApplicationSwitch->setChecked(true);
    activateIgnoringOtherApps();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    exec();
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
