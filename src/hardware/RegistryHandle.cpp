// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegistryHandle.h"

#include "FolderName.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace calidra {
namespace {

constexpr int FolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

QByteArray planeFolder(const QString& plane)
{
    if (plane == u"IOService") {
        return QByteArrayLiteral("sys/devices");
    }
    if (plane == u"IODeviceTree") {
        return QByteArrayLiteral("sys/firmware/devicetree/base");
    }
    return {};
}

// The type of a listed node, asking the file system when the listing does
// not say; links are reported as links, never as what they point to.
unsigned char nodeType(int folder, const dirent& node)
{
    if (node.d_type != DT_UNKNOWN) {
        return node.d_type;
    }
    struct stat status = {};
    if (::fstatat(folder, node.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return DT_UNKNOWN;
    }
    if (S_ISDIR(status.st_mode)) {
        return DT_DIR;
    }
    return S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
}

} // namespace

RegistryHandle::RegistryHandle(int fd, QString plane, std::vector<QByteArray> planePath,
                               QString systemRoot)
    : m_fd(fd), m_plane(std::move(plane)), m_planePath(std::move(planePath)),
      m_systemRoot(std::move(systemRoot))
{}

RegistryHandle::RegistryHandle(RegistryHandle&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_plane(std::move(other.m_plane)),
      m_planePath(std::move(other.m_planePath)), m_systemRoot(std::move(other.m_systemRoot))
{}

RegistryHandle& RegistryHandle::operator=(RegistryHandle&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = std::exchange(other.m_fd, -1);
        m_plane = std::move(other.m_plane);
        m_planePath = std::move(other.m_planePath);
        m_systemRoot = std::move(other.m_systemRoot);
    }
    return *this;
}

RegistryHandle::~RegistryHandle()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

RegistryHandle RegistryHandle::openPlaneRoot(const QString& systemRoot, const QString& plane)
{
    const QByteArray folder = planeFolder(plane);
    if (folder.isEmpty()) {
        return {};
    }
    const QByteArray path = QFile::encodeName(systemRoot) + '/' + folder;
    const int fd = ::open(path.constData(), FolderFlags);
    return fd < 0 ? RegistryHandle() : RegistryHandle(fd, plane, {}, systemRoot);
}

QByteArray RegistryHandle::folderName() const
{
    if (!m_planePath.empty()) {
        return m_planePath.back();
    }
    const QByteArray folder = planeFolder(m_plane);
    return folder.mid(folder.lastIndexOf('/') + 1);
}

bool RegistryHandle::isPlainName(const QByteArray& name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\0');
}

RegistryHandle RegistryHandle::duplicate() const
{
    if (isNull()) {
        return {};
    }
    const int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    return fd < 0 ? RegistryHandle() : RegistryHandle(fd, m_plane, m_planePath, m_systemRoot);
}

RegistryHandle RegistryHandle::child(const QByteArray& name) const
{
    if (isNull() || !isPlainName(name)) {
        return {};
    }
    const int fd = ::openat(m_fd, name.constData(), FolderFlags);
    if (fd < 0) {
        return {};
    }
    std::vector<QByteArray> path = m_planePath;
    path.push_back(name);
    return RegistryHandle(fd, m_plane, std::move(path), m_systemRoot);
}

RegistryHandle RegistryHandle::parent() const
{
    if (isNull() || m_planePath.empty()) {
        return {};
    }
    const int fd = ::openat(m_fd, "..", FolderFlags);
    if (fd < 0) {
        return {};
    }
    std::vector<QByteArray> path(m_planePath.begin(), m_planePath.end() - 1);
    return RegistryHandle(fd, m_plane, std::move(path), m_systemRoot);
}

template <typename Accept>
std::optional<std::vector<QByteArray>> RegistryHandle::listNames(Accept accept, size_t limit) const
{
    // An O_PATH descriptor cannot be read, so the listing opens the folder anew.
    const int listing = isNull() ? -1 : ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* folder = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!folder) {
        if (listing >= 0) {
            ::close(listing);
        }
        return std::nullopt;
    }
    std::vector<QByteArray> names;
    while (names.size() < limit) {
        const dirent* node = ::readdir(folder);
        if (!node) {
            break;
        }
        const QByteArray name(node->d_name);
        if (isPlainName(name) && accept(nodeType(listing, *node))) {
            names.push_back(name);
        }
    }
    ::closedir(folder);
    return names;
}

std::vector<QByteArray> RegistryHandle::childFolderNames() const
{
    std::vector<QByteArray> names = listNames([](unsigned char type) { return type == DT_DIR; },
                                              std::numeric_limits<size_t>::max())
                                        .value_or(std::vector<QByteArray>());
    FolderName::sort(names);
    return names;
}

std::optional<std::vector<QByteArray>> RegistryHandle::fileNames(size_t limit) const
{
    std::optional<std::vector<QByteArray>> names =
        listNames([](unsigned char type) { return type == DT_REG; }, limit);
    if (names) {
        std::sort(names->begin(), names->end());
    }
    return names;
}

} // namespace calidra
