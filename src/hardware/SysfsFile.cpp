// SPDX-License-Identifier: GPL-3.0-or-later
#include "SysfsFile.h"

#include "KernelNumber.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace calidra {

std::optional<QByteArray> SysfsFile::readAt(int folder, const char* name, Links links)
{
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (links == Links::DoNotFollow) {
        flags |= O_NOFOLLOW;
    }
    const int file = ::openat(folder, name, flags);
    if (file < 0) {
        return std::nullopt;
    }
    std::optional<QByteArray> contents = readOpen(file);
    ::close(file);
    return contents;
}

std::optional<QByteArray> SysfsFile::readOpen(int file)
{
    // One byte past the cap tells a file that is too large.
    std::optional<QByteArray> contents = readUpTo(file, MaximumSize + 1);
    if (contents && contents->size() > MaximumSize) {
        return std::nullopt;
    }
    return contents;
}

std::optional<QByteArray> SysfsFile::readHead(const char* path, qsizetype size)
{
    const int file = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (file < 0) {
        return std::nullopt;
    }
    std::optional<QByteArray> contents = readUpTo(file, size);
    ::close(file);
    return contents;
}

std::optional<QByteArray> SysfsFile::readUpTo(int file, qsizetype size)
{
    struct stat status = {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    // Kernel files often report a size of 0 or 4096 whatever they hold, so
    // read until the end or the limit.
    QByteArray contents(size, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < contents.size()) {
        const ssize_t count = ::pread(file, contents.data() + filled,
                                      static_cast<size_t>(contents.size() - filled), filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        filled += count;
    }
    contents.truncate(filled);
    return contents;
}

std::optional<QByteArray> SysfsFile::readLine(const QByteArray& path)
{
    const std::optional<QByteArray> text = readAt(AT_FDCWD, path.constData(), Links::Follow);
    if (!text) {
        return std::nullopt;
    }
    const std::string_view line = withoutLineFeed(stringView(*text));
    return QByteArray(line.data(), qsizetype(line.size()));
}

std::vector<QByteArray> SysfsFile::folderNames(const QByteArray& path)
{
    std::vector<QByteArray> names;
    DIR* const folder = ::opendir(path.constData());
    if (folder == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace calidra
