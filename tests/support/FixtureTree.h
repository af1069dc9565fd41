// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace calidra {

/// A throw-away system tree for tests: folders, files, symbolic links and
/// files that cannot be read, below a fresh temporary folder that is removed
/// with the object. Paths are relative to the tree's root ("sys/devices/x").
/// Every operation creates the folders on the way; a failure fails the
/// current test through a GoogleTest assertion.
class FixtureTree
{
public:
    FixtureTree();

    /// The tree's root, to be passed as the system root.
    QString root() const;
    /// The absolute form of a path in the tree.
    QString absolute(const QString& path) const;

    void addFolder(const QString& path);
    void addFile(const QString& path, const QByteArray& contents);
    void addSymlink(const QString& path, const QString& target);
    /// A sparse regular file of the given size, holding zero bytes.
    void addLargeFile(const QString& path, qint64 size);
    /// A node that no one can open for reading, not even the superuser
    /// (a Unix-domain socket): stands in for a file that cannot be read.
    void addUnreadable(const QString& path);
    /// A copy of the folder `source` (an absolute path) at `path`: its
    /// folders and regular files, and its symbolic links as links with the
    /// same target text.
    void addCopy(const QString& path, const QString& source);
    /// Removes a file, or a folder with everything below it.
    void remove(const QString& path);
    /// A file only its owner may read and run.
    void addExecutable(const QString& path, const QByteArray& contents);

    /// /proc/cpuinfo's text for two processors of `vendor`, the first one
    /// with the family and flags given (none where empty).
    static QByteArray cpuinfo(const QByteArray& vendor, const QByteArray& family = {},
                              const QByteArray& flags = {});

    /// A hwmon device as sys/class/hwmon/hwmon<number>: its driver's `name`
    /// and channels temp1, temp2... of a label (null: no label file) and an
    /// input each.
    using Channel = std::pair<const char*, QByteArray>;
    void addHwmon(int number, const QByteArray& driver, const std::vector<Channel>& channels);
    /// A device on a bus as the kernel lays it out: the folder
    /// sys/devices/<path>, its `subsystem` linking to sys/bus/<bus>.
    void addBusDevice(const QString& path, const QString& bus);
    /// A hwmon device of the device folder sys/devices/<device>, as the kernel
    /// lays it out: sys/devices/<device>/hwmon/hwmon<number> with the `name`
    /// and channels of addHwmon and a `device` link back to the device, linked
    /// from sys/class/hwmon/hwmon<number>.
    void addDeviceHwmon(const QString& device, int number, const QByteArray& driver,
                        const std::vector<Channel>& channels);
    /// A thermal zone as the kernel lays it out: its `type` and `temp` in
    /// sys/devices/virtual/thermal/thermal_zone<number>, linked from
    /// sys/class/thermal. Given again, it rewrites both files.
    void addThermalZone(int number, const QByteArray& type, const QByteArray& temp);
    /// The device folder of that zone.
    static QString thermalZone(int number);

    /// The whole contents of the file at an absolute path; empty when it
    /// cannot be read.
    static QByteArray readFile(const QString& absolutePath);
    /// How many file descriptors the process holds open.
    static qsizetype openDescriptors();

private:
    void makeParent(const QString& path);
    void addHwmonFiles(const QString& folder, const QByteArray& driver,
                       const std::vector<Channel>& channels);

    QTemporaryDir m_dir;
};

} // namespace calidra
