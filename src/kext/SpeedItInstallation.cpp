// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeedItInstallation.h"

#include "hardware/HardwareLog.h"
#include "hardware/IORegistry.h"
#include "hardware/IORegistryEntry.h"
#include "hardware/LoadableDriver.h"
#include "kext/PrivilegedScripts.h"
#include "measurement/IntelModels.h"
#include "platform/Alerts.h"
#include "platform/ApplicationActivation.h"
#include "platform/ApplicationTermination.h"
#include "platform/Localization.h"

#include <QFile>

namespace calidra {
namespace {

// Whether loading the driver can give a reading here: an offer that can only
// fail would ask for a password, and again at every start, for nothing.
bool canLoadDriver()
{
    const IORegistry* registry = IORegistry::masterPort();
    if (!registry) {
        return false;
    }
    const LoadableDriver::Finding finding =
        LoadableDriver::examine(QFile::encodeName(registry->systemRoot()));
    const bool loadable = finding.verdict == LoadableDriver::Verdict::Loadable;
    qCDebug(hardwareLog).noquote()
        << (loadable ? "driver offer made:" : "no driver offer:") << finding.explanation;
    return loadable;
}

} // namespace

void initializeSpeedIt()
{
    if (!IntelModels::isIntelModel(IORegistryEntry::machineModel())) {
        qCDebug(hardwareLog) << "no driver offer: the machine model is not on the model list";
        return;
    }
    if (statSpeedIt() != 0) {
        qCDebug(hardwareLog) << "no driver offer: the status script says the driver is loaded";
        return;
    }
    if (!canLoadDriver()) {
        return;
    }
    const Alerts::Request installAlert{
        localizedString(
            QT_TRANSLATE_NOOP("Calidra", "The processor's temperature driver needs to be loaded.")),
        localizedString(QT_TRANSLATE_NOOP(
            "Calidra", "In order to gauge temperature or frequency values on this computer, "
                       "Calidra needs to load the processor's temperature driver, now and at "
                       "every start of the computer. This requires an administrator's password, "
                       "but only needs to be done once.")),
        {localizedString(QT_TRANSLATE_NOOP("Calidra", "Proceed")),
         localizedString(QT_TRANSLATE_NOOP("Calidra", "Cancel and Quit"))},
        false};
    activateIgnoringOtherApps();
    if (Alerts::run(installAlert) == 0) {
        installAndRunSpeedItLaunchDaemon();
    } else {
        ApplicationTermination::requestTermination();
    }
}

} // namespace calidra
