#include "platform/linux/PkexecLauncher.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <utility>

namespace calidra {

PkexecLauncher::PkexecLauncher(QString pkexec) : m_pkexec(std::move(pkexec))
{}

PkexecLauncher::~PkexecLauncher()
{
    for (QProcess* process : launchesInFlight()) {
        process->kill();
        process->waitForFinished();
    }
}

int PkexecLauncher::launch(const QString& tool, const QStringList& arguments,
                           const QByteArray& standardInput)
{
    auto* process = new QProcess(&m_launches);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(m_pkexec, QStringList{tool} + arguments);
    if (!process->waitForStarted(-1)) {
        delete process;
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
