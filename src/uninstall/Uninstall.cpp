#include "Uninstall.h"

#include "defaults/UserDefaults.h"
#include "kext/PrivilegedScripts.h"
#include "platform/Bundle.h"
#include "platform/PrivilegedLauncher.h"
#include "platform/Workspace.h"

namespace calidra {

bool removeSpeedIt()
{
    if (!uninstallSpeedItLaunchDaemon()) {
        return false;
    }
    if (PrivilegedLauncher* launcher = PrivilegedLauncher::shared()) {
        launcher->waitForFinished(UninstallScriptWait);
    }
    return true;
}

void movePreferencesToTrash()
{
    if (const UserDefaults* defaults = UserDefaults::standardUserDefaults()) {
        Workspace::moveFileToTrashWithPath(defaults->fileName());
    }
}

void moveApplicationToTrash()
{
    if (const Bundle* bundle = Bundle::mainBundle()) {
        Workspace::moveFileToTrashWithPath(bundle->bundlePath());
    }
}

} // namespace calidra
