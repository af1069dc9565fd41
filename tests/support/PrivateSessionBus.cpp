// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateSessionBus.h"

#include <QFile>

namespace calidra {
namespace {

constexpr int StartWait = 10000;

// A session bus that lets anyone send, receive and own anything, with no
// folders of services to start on demand.
constexpr char Configuration[] = R"(<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
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
    if (!configuration.open(QIODevice::WriteOnly) ||
        configuration.write(Configuration) != qint64(sizeof Configuration - 1)) {
        m_failure = QStringLiteral("the bus configuration cannot be written");
        return;
    }
    configuration.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + configuration.fileName(),
                    QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(StartWait)) {
        m_failure = QStringLiteral("dbus-daemon cannot start: ") + m_daemon.errorString();
        return;
    }
    // The address is the first line the daemon prints.
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(StartWait)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_failure = QStringLiteral("dbus-daemon printed no address");
    }
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString& name : m_connections) {
        QDBusConnection::disconnectFromBus(name);
    }
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(StartWait)) {
            m_daemon.kill();
            m_daemon.waitForFinished(StartWait);
        }
    }
}

QDBusConnection PrivateSessionBus::connect(const QString& name)
{
    m_connections.append(name);
    return QDBusConnection::connectToBus(m_address, name);
}

} // namespace calidra
