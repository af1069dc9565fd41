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
        localizedString(QT_TRANSLATE_NOOP("Calidra", "SpeedIt needs to be installed.")),
        localizedString(QT_TRANSLATE_NOOP(
            "Calidra", "In order to gauge temperature or frequency values on this computer, "
                       "Calidra needs to install SpeedIt, a third-party kernel extension. This "
                       "requires admin privileges, but only needs to be done once.")),
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
