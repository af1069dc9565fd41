// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

namespace calidra {

/// Points HOME and XDG_DATA_HOME (HOME's .local/share) at a throw-away folder
/// made in `parent`, so that the Trash is the one in there, and puts them
/// back afterwards.
class TemporaryHome
{
public:
    explicit TemporaryHome(const QString& parent = QDir::tempPath())
        : folder(parent + u"/calidra-XXXXXX"_qs)
    {
        qputenv("HOME", folder.path().toUtf8());
        QDir(folder.path()).mkpath(u".local/share"_qs);
        qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    }

    ~TemporaryHome()
    {
        qputenv("HOME", m_home);
        m_hadDataHome ? qputenv("XDG_DATA_HOME", m_dataHome) : qunsetenv("XDG_DATA_HOME");
    }

    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString dataHome() const { return folder.path() + u"/.local/share"_qs; }
    QString trash() const { return dataHome() + u"/Trash"_qs; }

    /// The names of what the Trash holds.
    QStringList trashed() const
    {
        return QDir(trash() + u"/files"_qs)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir folder;

private:
    QByteArray m_home = qgetenv("HOME");
    QByteArray m_dataHome = qgetenv("XDG_DATA_HOME");
    bool m_hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
};

} // namespace calidra
