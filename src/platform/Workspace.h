#pragma once

#include <QString>

namespace calidra {

/// The user's desktop workspace: operations on files as the desktop's file
/// manager would carry them out.
class Workspace
{
public:
    /// Moves the file or folder at the full path `path` to the user's Trash
    /// (the freedesktop.org Trash of the user's data folder, or of the
    /// volume's top folder when the path lies on another volume). Whether the
    /// move succeeded is not reported.
    static void moveFileToTrashWithPath(const QString& path);
};

} // namespace calidra
