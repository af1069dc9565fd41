// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

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
