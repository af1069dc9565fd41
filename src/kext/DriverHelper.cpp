// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriverHelper.h"

#include "platform/Bundle.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace calidra {
namespace {

bool statIsTrusted(const QString& path, bool followLinks)
{
    struct stat node = {};
    const QByteArray name = QFile::encodeName(path);
    const int result =
        followLinks ? ::stat(name.constData(), &node) : ::lstat(name.constData(), &node);
    return result == 0 && DriverHelper::isTrustedNode(node);
}

} // namespace

std::optional<QString> DriverHelper::pathInMainBundle()
{
    const Bundle* bundle = Bundle::mainBundle();
    if (!bundle) {
        return std::nullopt;
    }
    const QString path = bundle->bundlePath() + u'/' + QString::fromLatin1(FileName);
    struct stat node = {};
    if (::lstat(QFile::encodeName(path).constData(), &node) != 0) {
        return std::nullopt;
    }
    return path;
}

bool DriverHelper::isTrusted(const QString& path)
{
    if (!QFileInfo(path).isAbsolute() || !statIsTrusted(path, false)) {
        return false;
    }
    const QString folder = QFileInfo(QFileInfo(path).path()).canonicalFilePath();
    if (folder.isEmpty()) {
        return false;
    }
    // Each step up shortens the path, down to "/", whose parent is itself.
    for (QString step = folder;; step = QFileInfo(step).path()) {
        if (!statIsTrusted(step, true)) {
            return false;
        }
        if (step == u"/"_qs) {
            return true;
        }
    }
}

bool DriverHelper::isTrustedNode(const struct stat& node)
{
    if (node.st_uid != 0) {
        return false;
    }
    const bool othersWrite = (node.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    if (S_ISREG(node.st_mode)) {
        return !othersWrite;
    }
    // In a sticky folder (such as /tmp) others may add entries but can
    // neither rename nor remove root's.
    return S_ISDIR(node.st_mode) && (!othersWrite || (node.st_mode & S_ISVTX) != 0);
}

} // namespace calidra
