// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

namespace calidra {

/// Whole-file reads of small kernel files (sysfs attributes, procfs values).
/// Every read is capped, so a huge or endless file cannot exhaust memory, and
/// none blocks: only regular files are read.
class SysfsFile
{
public:
    /// The largest file read; a larger one is treated as unreadable.
    static constexpr qsizetype MaximumSize = 64 * 1024;

    enum class Links { Follow, DoNotFollow };

    /// Reads the regular file `name` relative to the open folder `folder`
    /// (or to the working folder with AT_FDCWD; an absolute `name` ignores
    /// `folder`). Absent when it cannot be opened, is not a regular file,
    /// fails to read (EIO, ENODEV...), holds more than MaximumSize bytes or,
    /// with Links::DoNotFollow, is a symbolic link.
    static std::optional<QByteArray> readAt(int folder, const char* name, Links links);

    /// Reads an already open file from its start with pread; the same caps
    /// and failures as readAt.
    static std::optional<QByteArray> readOpen(int file);

    /// The text of the regular file at `path`, following links, without its
    /// last line feed; absent as for readAt.
    static std::optional<QByteArray> readLine(const QByteArray& path);

    /// The names in the folder at `path`, following a link to it, "." and
    /// ".." left out, in byte order so that a choice among equals does not
    /// depend on the folder's order; none when it cannot be opened.
    static std::vector<QByteArray> folderNames(const QByteArray& path);

    /// Reads at most the first `size` bytes of the regular file at `path`,
    /// following links; for long files whose head is enough (/proc/cpuinfo).
    static std::optional<QByteArray> readHead(const char* path, qsizetype size);

private:
    static std::optional<QByteArray> readUpTo(int file, qsizetype size);
};

} // namespace calidra
