// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace calidra {

/// A D-Bus session bus of the test's own: a dbus-daemon started for it and
/// stopped with the object, so that nothing reaches the desktop's bus. It
/// starts no service on demand: a name no test client owns has no owner,
/// whatever services the machine has installed.
/// Connections are made to it by name; each name is a separate client, as
/// separate programs would be. `restart()` plays a daemon that dies and is
/// started again at the same address: every client is dropped.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    /// Empty when the daemon started; otherwise why it did not, for a skip.
    const QString& failure() const { return m_failure; }
    const QString& address() const { return m_address; }

    /// A new client connection named `name`, closed with the bus.
    QDBusConnection connect(const QString& name);

    /// Stops the daemon, which drops every client, and starts a new one at
    /// the same address; false when it does not start.
    bool restart();

private:
    bool start();
    void stop();

    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
    QString m_failure;
    QStringList m_connections;
};

} // namespace calidra
