// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace calidra {

/// How long removeSpeedIt waits for the uninstall script, the password dialog
/// included, before the removal goes on without it.
inline constexpr std::chrono::milliseconds UninstallScriptWait = std::chrono::minutes(5);

/// Whether the processor temperature component's boot entry, which loads the
/// driver at every start of the computer, exists below the registry's system
/// root: the file that the install script writes and the uninstall script
/// removes. False without a registry.
bool hasSpeedItBootEntry();

/// Removes the processor temperature component by running the main bundle's
/// uninstall script as the superuser after its digest check, then waits for
/// the privileged launch to end, at most UninstallScriptWait, with the event
/// loop running; a termination request ends the wait. So the component's boot
/// entry is gone before the bundle may be moved to the Trash and the program
/// quits. True once the script's launch was asked for, whether or not it
/// ended in time.
bool removeSpeedIt();

/// Moves the program's settings file, the one kept by the process-wide user
/// defaults, to the user's Trash. Nothing else is touched. Does nothing when
/// there are no user defaults.
void movePreferencesToTrash();

/// Moves the program's own folder, the main bundle's, to the user's Trash.
/// Does nothing when there is no main bundle.
void moveApplicationToTrash();

} // namespace calidra
