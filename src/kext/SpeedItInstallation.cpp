// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeedItInstallation.h"

#include "hardware/IORegistryEntry.h"
#include "kext/PrivilegedScripts.h"
#include "measurement/IntelModels.h"
#include "platform/Alerts.h"
#include "platform/ApplicationActivation.h"
#include "platform/ApplicationTermination.h"
#include "platform/Localization.h"

namespace calidra {

void initializeSpeedIt()
{
    if (!IntelModels::isIntelModel(IORegistryEntry::machineModel()) || statSpeedIt() != 0) {
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
