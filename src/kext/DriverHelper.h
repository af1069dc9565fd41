// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

struct stat;

namespace calidra {

/// The root helper that the package installs beside the program
/// ("calidra-driver" in the bundle folder). pkexec runs it by its path with
/// one argument, "install" or "uninstall", under a polkit action that names
/// it, so the password dialog says what it is for. A bundle run from a build
/// folder has no helper and hands its checked scripts to a root shell instead.
class DriverHelper
{
public:
    /// The helper's file name in the bundle folder.
    static constexpr const char* FileName = "calidra-driver";

    /// The helper's path in the main bundle when something is there (a file,
    /// a link or anything else, trusted or not); absent otherwise or without
    /// a main bundle.
    static std::optional<QString> pathInMainBundle();

    /// Whether root alone can change what runs at `path`: an absolute path
    /// to a regular file (not a link), and it and every folder above it
    /// (links in the folders' path resolved) trusted nodes.
    static bool isTrusted(const QString& path);

    /// Whether one file system node, as `lstat` or `stat` describes it, is
    /// owned by root and is a regular file writable by neither group nor
    /// others, or a folder that is not either or has the sticky bit.
    static bool isTrustedNode(const struct stat& node);
};

} // namespace calidra
