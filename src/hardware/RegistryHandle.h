// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace calidra {

/// The handle of one registry entry: an open descriptor of its sysfs folder
/// (O_PATH, never through a symbolic link) together with where the folder
/// lies: its plane, its path below the plane's folder and the system root.
///
/// The descriptor is the entry's reference: a handle owns it and closes it
/// exactly once. A default-constructed handle is the null handle. Every
/// operation that opens another folder gives a null handle when it cannot.
class RegistryHandle
{
public:
    RegistryHandle() = default;
    RegistryHandle(RegistryHandle&& other) noexcept;
    RegistryHandle& operator=(RegistryHandle&& other) noexcept;
    RegistryHandle(const RegistryHandle&) = delete;
    RegistryHandle& operator=(const RegistryHandle&) = delete;
    ~RegistryHandle();

    /// The folder of `plane`'s root below `systemRoot`; null for a plane
    /// that does not exist ("IOService": sys/devices, "IODeviceTree":
    /// sys/firmware/devicetree/base).
    static RegistryHandle openPlaneRoot(const QString& systemRoot, const QString& plane);

    bool isNull() const { return m_fd < 0; }
    int fd() const { return m_fd; }
    const QString& plane() const { return m_plane; }
    /// Folder names from the plane's root down to this folder; empty at the root.
    const std::vector<QByteArray>& planePath() const { return m_planePath; }
    const QString& systemRoot() const { return m_systemRoot; }
    bool isPlaneRoot() const { return !isNull() && m_planePath.empty(); }
    /// This folder's own name, or the plane folder's name at the root.
    QByteArray folderName() const;

    /// True for a name that stays inside one folder: not empty, not "." or
    /// "..", without "/" or a zero byte.
    static bool isPlainName(const QByteArray& name);

    /// A second handle on the same folder.
    RegistryHandle duplicate() const;
    /// The sub-folder `name`; null for names that are not plain, links,
    /// files and folders that do not exist (any more).
    RegistryHandle child(const QByteArray& name) const;
    /// The folder above; null at the plane's root.
    RegistryHandle parent() const;
    /// The names of the sub-folders (not links, not "." or ".."), in
    /// enumeration order; empty when the folder cannot be listed.
    std::vector<QByteArray> childFolderNames() const;
    /// The names of the regular files, in byte order; at most `limit`.
    /// Absent when the folder cannot be listed.
    std::optional<std::vector<QByteArray>> fileNames(size_t limit) const;

private:
    RegistryHandle(int fd, QString plane, std::vector<QByteArray> planePath, QString systemRoot);
    template <typename Accept>
    std::optional<std::vector<QByteArray>> listNames(Accept accept, size_t limit) const;

    int m_fd = -1;
    QString m_plane;
    std::vector<QByteArray> m_planePath;
    QString m_systemRoot;
};

} // namespace calidra
