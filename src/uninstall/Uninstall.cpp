// SPDX-License-Identifier: GPL-3.0-or-later
#include "Uninstall.h"

#include "BundleInstallation.h"
#include "defaults/UserDefaults.h"
#include "formatting/ObjectFormat.h"
#include "hardware/IORegistry.h"
#include "kext/PrivilegedScripts.h"
#include "platform/Alerts.h"
#include "platform/Bundle.h"
#include "platform/Localization.h"
#include "platform/PrivilegedLauncher.h"
#include "platform/Workspace.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace calidra {
namespace {

// Without this the program would quit and leave itself behind without a word;
// the user learns what is left and how to remove it. The program quits after
// the alert all the same, as the user asked, and can put the command on the
// clipboard first, which the desktop's clipboard keeps after the program ends.
void tellCannotMove(const BundleInstallation& installation)
{
    const char* reason =
        installation.isPackaged()
            ? QT_TRANSLATE_NOOP("Calidra",
                                "Calidra was installed for all users by the package manager, which "
                                "also removes it. Run this command in a terminal:\n\n%@")
            : QT_TRANSLATE_NOOP("Calidra",
                                "Its folder cannot be changed by you, or the Trash is on another "
                                "file system. To remove Calidra, run this command in a "
                                "terminal:\n\n%@");
    const QString command = installation.removalCommand();
    const int answer = Alerts::run(
        {localizedString(QT_TRANSLATE_NOOP("Calidra", "Calidra could not be moved to the Trash.")),
         stringWithFormat(localizedFormat(reason), {command}),
         {localizedString(QT_TRANSLATE_NOOP("Calidra", "Copy Command and Quit")),
          localizedString(QT_TRANSLATE_NOOP("Calidra", "Quit"))},
         false});
    if (answer == 0) {
        QGuiApplication::clipboard()->setText(command);
    }
}

} // namespace

bool hasSpeedItBootEntry()
{
    const IORegistry* registry = IORegistry::masterPort();
    return registry &&
           QFileInfo::exists(registry->systemRoot() + u"/etc/modules-load.d/calidra.conf"_qs);
}

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
    const std::optional<BundleInstallation> installation = BundleInstallation::ofMainBundle();
    if (!installation) {
        return;
    }
    // A package's files belong to the package manager, even where the user
    // could move them.
    if (installation->isPackaged()) {
        tellCannotMove(*installation);
        return;
    }
    const QStringList entries = installation->userEntries();
    if (!Workspace::moveFileToTrashWithPath(Bundle::mainBundle()->bundlePath())) {
        tellCannotMove(*installation);
        return;
    }
    for (const QString& entry : entries) {
        QFile::remove(entry);
    }
}

} // namespace calidra
