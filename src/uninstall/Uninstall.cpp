#include "Uninstall.h"

#include "kext/PrivilegedScripts.h"
#include "platform/Bundle.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"

namespace calidra {

bool removeSpeedIt()
{
    return uninstallSpeedItLaunchDaemon();
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
