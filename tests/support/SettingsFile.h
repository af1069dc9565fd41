// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "defaults/UserDefaults.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace calidra {

/// A settings file of the test's own, in a fresh folder, holding `lines`
/// below "[General]" as a user or an earlier release left them, and the
/// store over it, the current one while the object lives.
struct SettingsFile
{
    explicit SettingsFile(const QByteArray& lines = {})
        : written(write(path, "[General]\n" + lines)), defaults(path)
    {
        EXPECT_TRUE(written) << path.toStdString();
    }

    /// Writes `text` as the whole file at `path`.
    static bool write(const QString& path, const QByteArray& text)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(text) == text.size();
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(u"Calidra.conf"_qs);
    const bool written;
    UserDefaults defaults;
};

} // namespace calidra
