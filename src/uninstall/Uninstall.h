#pragma once

namespace calidra {

/// Removes the processor temperature component by running the main bundle's
/// uninstall script as the superuser after its digest check. True once the
/// script's launch was asked for; the script is not waited for.
bool removeSpeedIt();

/// Moves the program's settings file, the one kept by the process-wide user
/// defaults, to the user's Trash. Nothing else is touched. Does nothing when
/// there are no user defaults.
void movePreferencesToTrash();

/// Moves the program's own folder, the main bundle's, to the user's Trash.
/// Does nothing when there is no main bundle.
void moveApplicationToTrash();

} // namespace calidra
