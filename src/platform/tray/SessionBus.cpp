// SPDX-License-Identifier: GPL-3.0-or-later
#include "SessionBus.h"

#include "TrayLog.h"

#include <algorithm>

namespace calidra {
namespace {

constexpr int FirstRetryDelay = 1000;
constexpr int LongestRetryDelay = 60000;

// Each attempt gets a name of its own: a connection name, once used, stays
// with its dead connection until it is disconnected, and is not reused.
QString nextConnectionName()
{
    static int made = 0;
    return QStringLiteral("calidra-session-%1").arg(++made);
}

// A daemon started anew has a new identity: the address without the old
// one's "guid" reaches whichever daemon listens there now.
QString withoutGuid(const QString& address)
{
    QStringList entries = address.split(u';', Qt::SkipEmptyParts);
    for (QString& entry : entries) {
        const qsizetype colon = entry.indexOf(u':');
        QStringList pairs = entry.mid(colon + 1).split(u',', Qt::SkipEmptyParts);
        pairs.removeIf([](const QString& pair) { return pair.startsWith(u"guid="_qs); });
        entry = entry.left(colon + 1) + pairs.join(u',');
    }
    return entries.join(u';');
}

} // namespace

SessionBus::SessionBus(const QString& address, QObject* parent)
    : QObject(parent), m_address(address), m_connection(QString())
{
    m_retryTimer.setSingleShot(true);
    m_retryTimer.setInterval(FirstRetryDelay);
    connect(&m_retryTimer, &QTimer::timeout, this, &SessionBus::retry);
    if (!connectNow()) {
        m_retryTimer.start();
    }
}

SessionBus::~SessionBus()
{
    QDBusConnection::disconnectFromBus(m_connection.name());
}

// libdbus tells of a lost connection with a local signal that never crosses
// the bus, so the match is for a path no daemon sends from.
bool SessionBus::connectNow()
{
    QDBusConnection::disconnectFromBus(m_connection.name());
    const QString name = nextConnectionName();
    QString address = m_address;
    if (m_dropped) {
        address = withoutGuid(address.isEmpty() ? qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")
                                                : address);
    }
    m_connection = address.isEmpty()
                       ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)
                       : QDBusConnection::connectToBus(address, name);
    if (!m_connection.isConnected()) {
        return false;
    }
    m_connection.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                         QStringLiteral("org.freedesktop.DBus.Local"),
                         QStringLiteral("Disconnected"), this, SLOT(handleDisconnection()));
    return true;
}

void SessionBus::handleDisconnection()
{
    if (m_retryTimer.isActive()) {
        return;
    }
    m_dropped = true;
    m_retryTimer.setInterval(FirstRetryDelay);
    m_retryTimer.start();
    emit disconnected();
}

void SessionBus::retry()
{
    if (connectNow()) {
        qCDebug(trayLog) << "connected to the session bus again";
        m_retryTimer.setInterval(FirstRetryDelay);
        emit connected();
        return;
    }
    m_retryTimer.setInterval(std::min(m_retryTimer.interval() * 2, LongestRetryDelay));
    m_retryTimer.start();
}

} // namespace calidra
