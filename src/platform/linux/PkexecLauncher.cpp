// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/PkexecLauncher.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>

namespace calidra {
namespace {

using Kind = PrivilegedLauncher::Outcome::Kind;

void keep(QByteArray& kept, const QByteArray& chunk)
{
    kept +=
        chunk.first(std::min(chunk.size(), PrivilegedLauncher::MaximumStandardError - kept.size()));
}

// pkexec's own exit statuses: 126 when the password dialog was dismissed, 127
// when no authorization could be obtained, for which its standard error names
// a missing agent or an unreachable polkit service. Every other status is the
// tool's.
Kind kindOf(int exitCode, QProcess::ExitStatus exitStatus, const QByteArray& standardError)
{
    if (exitStatus != QProcess::NormalExit) {
        return Kind::Failed;
    }
    switch (exitCode) {
    case 0:
        return Kind::Succeeded;
    case 126:
        return Kind::Dismissed;
    case 127:
        if (standardError.contains("No authentication agent")) {
            return Kind::NoAgent;
        }
        return standardError.contains("Error getting authority") ? Kind::NoAuthority
                                                                 : Kind::NotAuthorized;
    default:
        return Kind::Failed;
    }
}

} // namespace

PkexecLauncher::PkexecLauncher(QString pkexec) : m_pkexec(std::move(pkexec))
{}

PkexecLauncher::~PkexecLauncher()
{
    for (QProcess* process : launchesInFlight()) {
        // Ended by the program's end, not by the user: nobody is told.
        QObject::disconnect(process, &QProcess::finished, nullptr, nullptr);
        process->kill();
        process->waitForFinished();
    }
}

int PkexecLauncher::launch(const QString& tool, const QStringList& arguments,
                           const QByteArray& standardInput, OutcomeHandler onFinished)
{
    auto* process = new QProcess(&m_launches);
    process->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    // Read as it comes, so that a talkative tool never stalls on a full pipe.
    const auto standardError = std::make_shared<QByteArray>();
    QObject::connect(process, &QProcess::readyReadStandardError, process, [process, standardError] {
        keep(*standardError, process->readAllStandardError());
    });
    QObject::connect(
        process, &QProcess::finished, process,
        [process, standardError, onFinished](int exitCode, QProcess::ExitStatus exitStatus) {
            keep(*standardError, process->readAllStandardError());
            process->deleteLater();
            if (onFinished) {
                onFinished({kindOf(exitCode, exitStatus, *standardError), *standardError});
            }
        });
    process->start(m_pkexec, QStringList{tool} + arguments);
    if (!process->waitForStarted(-1)) {
        delete process;
        if (onFinished) {
            QTimer::singleShot(0, &m_launches, [onFinished] {
                onFinished({Kind::NotStarted, {}});
            });
        }
        return 1;
    }
    process->write(standardInput);
    process->closeWriteChannel();
    return 0;
}

bool PkexecLauncher::waitForFinished(std::chrono::milliseconds timeout)
{
    const QList<QProcess*> launches = launchesInFlight();
    if (launches.isEmpty()) {
        return true;
    }
    QEventLoop loop;
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    for (QProcess* process : launches) {
        QObject::connect(process, &QProcess::finished, &loop, [this, &loop] {
            if (launchesInFlight().isEmpty()) {
                loop.quit();
            }
        });
    }
    // User input waits, so that the window that asked for the launch is not
    // acted on again under the caller while it waits.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return launchesInFlight().isEmpty();
}

QList<QProcess*> PkexecLauncher::launchesInFlight() const
{
    QList<QProcess*> running;
    for (QProcess* process : m_launches.findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        if (process->state() != QProcess::NotRunning) {
            running.append(process);
        }
    }
    return running;
}

} // namespace calidra
