// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateSessionBus.h"

#include <QFile>

namespace calidra {
namespace {

constexpr int StartWait = 10000;

// A session bus that lets anyone send, receive and own anything, with no
// folders of services to start on demand. It listens at a path of its own,
// so that a restarted daemon is found at the same address.
constexpr char Configuration[] = R"(<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateSessionBus::PrivateSessionBus()
{
    QFile configuration(m_folder.filePath(QStringLiteral("session.conf")));
    const QByteArray text =
        QString::fromLatin1(Configuration).arg(m_folder.filePath(QStringLiteral("bus"))).toUtf8();
    if (!configuration.open(QIODevice::WriteOnly) || configuration.write(text) != text.size()) {
        m_failure = QStringLiteral("the bus configuration cannot be written");
        return;
    }
    configuration.close();
    start();
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString& name : m_connections) {
        QDBusConnection::disconnectFromBus(name);
    }
    stop();
}

QDBusConnection PrivateSessionBus::connect(const QString& name)
{
    m_connections.append(name);
    return QDBusConnection::connectToBus(m_address, name);
}

bool PrivateSessionBus::restart()
{
    stop();
    return start();
}

bool PrivateSessionBus::start()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + m_folder.filePath(u"session.conf"_qs),
                    QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(StartWait)) {
        m_failure = QStringLiteral("dbus-daemon cannot start: ") + m_daemon.errorString();
        return false;
    }
    // The address is the first line the daemon prints.
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(StartWait)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_failure = QStringLiteral("dbus-daemon printed no address");
        return false;
    }
    return true;
}

void PrivateSessionBus::stop()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(StartWait)) {
            m_daemon.kill();
            m_daemon.waitForFinished(StartWait);
        }
    }
}

} // namespace calidra
