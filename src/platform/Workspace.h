// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace calidra {

/// The user's desktop workspace: operations on files as the desktop's file
/// manager would carry them out.
class Workspace
{
public:
    /// The user's freedesktop.org Trash: "Trash" in XDG_DATA_HOME when that is
    /// an absolute path, else ~/.local/share/Trash.
    static QString userTrashFolder();

    /// Moves the file or folder at `path` into the user's Trash, beside an
    /// information file with its former path and the time; a name already
    /// in the Trash gets a number ("name.2"). The Trash and its "files" and
    /// "info" folders are created when missing, and no Trash anywhere else is
    /// ever used. False, with nothing moved, when the path is missing or
    /// cannot be renamed into the Trash: a folder the user may not change, or
    /// a Trash on another file system (the item is never copied).
    static bool moveFileToTrashWithPath(const QString& path);
};

} // namespace calidra
