// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace calidra {

/// One temperature channel of a hwmon device as the kernel shows it: the text
/// of its `tempN_label` (no label file when null) and of its `tempN_input`
/// (millidegrees, written with a line feed).
struct HwmonChannel
{
    const char* label;
    QByteArray input;
};

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
    /// A hwmon device laid out as the kernel does: its folder
    /// `sys/devices/platform/<name>.<number>/hwmon/hwmon<number>` with `name`
    /// and the channels as temp1, temp2..., and the class entry
    /// `sys/class/hwmon/hwmon<number>` as a relative link to it.
    void addHwmon(int number, const QByteArray& name, const std::vector<HwmonChannel>& channels);
    /// A thermal zone laid out as the kernel does: `type` and `temp` (each
    /// written with a line feed) in `sys/devices/virtual/thermal/thermal_zone<number>`
    /// and the class entry `sys/class/thermal/thermal_zone<number>` as a
    /// relative link to it.
    void addThermalZone(int number, const QByteArray& type, const QByteArray& temp);
    /// Removes a file, or a folder with everything below it.
    void remove(const QString& path);

    /// The whole contents of the file at an absolute path; empty when it
    /// cannot be read.
    static QByteArray readFile(const QString& absolutePath);
    /// How many file descriptors the process holds open.
    static qsizetype openDescriptors();

private:
    void makeParent(const QString& path);

    QTemporaryDir m_dir;
};

} // namespace calidra
