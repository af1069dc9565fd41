// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

namespace calidra {

/// A connection to the session bus that comes back. The bus may drop the
/// program (its daemon restarted, or it closed this one connection, as it
/// does after a message beyond its limits); then `disconnected` is emitted at
/// once and connecting is tried again after a pause that grows from one
/// second to a minute, until the bus is back and `connected` is emitted. What
/// was registered on the old connection (objects, names, match rules) is
/// gone with it: its owners register it anew on `connected`. A daemon that
/// restarted is a new one at the same address: the address's "guid", which
/// named the old one, is left out from then on. Nothing here
/// waits: a connection attempt is the bus library's own, bounded by its
/// socket. Main thread only.
class SessionBus : public QObject
{
    Q_OBJECT

public:
    /// Connects to the bus at `address`, at once; an empty address means the
    /// user's session bus. A first attempt that fails is retried as a
    /// dropped connection is.
    explicit SessionBus(const QString& address = {}, QObject* parent = nullptr);
    ~SessionBus() override;

    /// The connection now; not connected while the bus is away.
    const QDBusConnection& connection() const { return m_connection; }
    bool isConnected() const { return m_connection.isConnected(); }

signals:
    /// A new connection is up (not emitted for the first one, made in the
    /// constructor).
    void connected();
    /// The connection was lost; a new one is being sought.
    void disconnected();

private slots:
    void handleDisconnection();

private:
    bool connectNow();
    void retry();

    QString m_address;
    // Once dropped, the daemon may be a new one at the same address.
    bool m_dropped = false;
    QDBusConnection m_connection;
    QTimer m_retryTimer;
};

} // namespace calidra
