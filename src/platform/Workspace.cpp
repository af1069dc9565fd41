// SPDX-License-Identifier: GPL-3.0-or-later
#include "Workspace.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace calidra {
namespace {

// The Trash and its folders are private to the user.
bool makePrivateFolder(const QString& path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || QFileInfo(path).isDir();
}

bool makeTrash(const QString& trash)
{
    const QString dataHome = QFileInfo(trash).path();
    return (QFileInfo(dataHome).isDir() || QDir().mkpath(dataHome)) && makePrivateFolder(trash) &&
           makePrivateFolder(trash + u"/files"_qs) && makePrivateFolder(trash + u"/info"_qs);
}

QByteArray trashInfo(const QString& originalPath)
{
    return "[Trash Info]\nPath=" + QUrl::toPercentEncoding(originalPath, "/") +
           "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
}

bool writeAll(int descriptor, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.constData() + written, bytes.size() - written);
        if (n < 0 && errno != EINTR) {
            return false;
        }
        written += n > 0 ? n : 0;
    }
    return true;
}

// Claims a free name in the Trash by creating its information file
// exclusively, so that two removals never pick the same one; the name, or
// nothing when the info folder cannot be written.
std::optional<QString> claimName(const QString& trash, const QString& name, const QByteArray& info)
{
    for (int number = 1;; ++number) {
        const QString candidate = number == 1 ? name : name + u'.' + QString::number(number);
        if (QFileInfo::exists(trash + u"/files/"_qs + candidate)) {
            continue;
        }
        const QByteArray infoPath =
            QFile::encodeName(trash + u"/info/"_qs + candidate + u".trashinfo"_qs);
        const int descriptor = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (descriptor < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return std::nullopt;
        }
        const bool written = writeAll(descriptor, info);
        ::close(descriptor);
        if (!written) {
            ::unlink(infoPath.constData());
            return std::nullopt;
        }
        return candidate;
    }
}

} // namespace

QString Workspace::userTrashFolder()
{
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(dataHome)) {
        return QDir::cleanPath(dataHome) + u"/Trash"_qs;
    }
    return QDir::homePath() + u"/.local/share/Trash"_qs;
}

bool Workspace::moveFileToTrashWithPath(const QString& path)
{
    const QString source = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    struct stat status;
    if (path.isEmpty() || QFileInfo(source).fileName().isEmpty() ||
        ::lstat(QFile::encodeName(source).constData(), &status) != 0) {
        return false;
    }
    const QString trash = userTrashFolder();
    if (!makeTrash(trash)) {
        return false;
    }
    const std::optional<QString> name =
        claimName(trash, QFileInfo(source).fileName(), trashInfo(source));
    if (!name) {
        return false;
    }
    const QByteArray target = QFile::encodeName(trash + u"/files/"_qs + *name);
    // A plain rename: across file systems it fails, and the item stays whole
    // where it is instead of being copied in part.
    if (::renameat2(AT_FDCWD, QFile::encodeName(source).constData(), AT_FDCWD, target.constData(),
                    RENAME_NOREPLACE) != 0) {
        QFile::remove(trash + u"/info/"_qs + *name + u".trashinfo"_qs);
        return false;
    }
    return true;
}

} // namespace calidra
