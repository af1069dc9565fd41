// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PrivilegedLauncher.h"

#include <QObject>

class QProcess;

namespace calidra {

/// The program's privileged launch: `PKEXEC TOOL ARGUMENTS...` as a child of
/// the program, whose desktop authentication agent asks for the password.
/// pkexec refuses to serve an orphan and authorizes its parent, so it is an
/// ordinary child process, not a detached one: a launch still in flight when
/// the launcher is destroyed (the program ends) is ended with it.
class PkexecLauncher : public PrivilegedLauncher
{
public:
    /// `pkexec`: the program that runs a tool as the superuser, an absolute
    /// path or a name found on PATH.
    explicit PkexecLauncher(QString pkexec = u"pkexec"_qs);

    /// Kills the launches still in flight and waits for them to end. A tool
    /// that already runs as the superuser cannot be killed; it is waited for,
    /// a bounded time (up to a minute), and then left running. Their outcome
    /// handlers are not called.
    ~PkexecLauncher() override;

    /// Starts pkexec with the tool and its arguments, its standard output
    /// forwarded to the program's own and its standard error kept (the first
    /// MaximumStandardError bytes), and hands it `standardInput` (written as
    /// the event loop runs, then closed). 0 when it started, 1 when pkexec
    /// could not be started. The outcome, once pkexec has ended, comes from
    /// its exit status: 0 succeeded, 126 dismissed, 127 not authorized (no
    /// agent or no authority when its standard error says so), anything else
    /// or a signal failed. A tool that itself exits with 126 or 127 reads as pkexec's.
    int launch(const QString& tool, const QStringList& arguments, const QByteArray& standardInput,
               OutcomeHandler onFinished) override;

    bool waitForFinished(std::chrono::milliseconds timeout) override;

private:
    QList<QProcess*> launchesInFlight() const;

    QString m_pkexec;
    // The parent of each launch's process until that process has ended.
    QObject m_launches;
};

} // namespace calidra
