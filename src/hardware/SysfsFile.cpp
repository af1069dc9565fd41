#include "SysfsFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    struct stat status = {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    // Kernel files often report a size of 0 or 4096 whatever they hold, so
    // read until the end, one byte past the cap to notice a file too large.
    QByteArray contents(MaximumSize + 1, Qt::Uninitialized);
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
    if (filled > MaximumSize) {
        return std::nullopt;
    }
    contents.truncate(filled);
    return contents;
}

} // namespace calidra
