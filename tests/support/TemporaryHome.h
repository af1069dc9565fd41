// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

namespace calidra {

/// Points HOME and XDG_DATA_HOME at a throw-away folder, so that the Trash is
/// the one in there, and puts them back afterwards.
class TemporaryHome
{
public:
    TemporaryHome()
    {
        qputenv("HOME", folder.path().toUtf8());
        QDir(folder.path()).mkpath(u".local/share"_qs);
        qputenv("XDG_DATA_HOME", (folder.path() + u"/.local/share"_qs).toUtf8());
    }

    ~TemporaryHome()
    {
        qputenv("HOME", m_home);
        m_hadDataHome ? qputenv("XDG_DATA_HOME", m_dataHome) : qunsetenv("XDG_DATA_HOME");
    }

    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    /// The names of what the Trash holds.
    QStringList trashed() const
    {
        return QDir(folder.path() + u"/.local/share/Trash/files"_qs)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir folder;

private:
    QByteArray m_home = qgetenv("HOME");
    QByteArray m_dataHome = qgetenv("XDG_DATA_HOME");
    bool m_hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
};

} // namespace calidra
