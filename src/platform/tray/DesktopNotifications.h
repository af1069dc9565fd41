// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Notifications.h"

#include <QObject>

#include <memory>

class QDBusConnection;

namespace calidra {

/// Notifications through the desktop's notification service
/// (org.freedesktop.Notifications on the session bus): each is sent as a
/// critical one from "Calidra" with the program's icon, and replaces the one
/// sent before while the service still shows it. Calls never wait for an
/// answer; without a bus or a service nothing is shown and nothing is said.
class DesktopNotifications : public QObject, public Notifications
{
    Q_OBJECT

public:
    /// Notifies over `connection`.
    explicit DesktopNotifications(const QDBusConnection& connection, QObject* parent = nullptr);
    /// Notifies over the session bus.
    explicit DesktopNotifications(QObject* parent = nullptr);
    ~DesktopNotifications() override;

    void notify(const Notification& notification) override;

    /// The service's number for the last notification it took; 0 before one.
    quint32 lastId() const { return m_lastId; }

private:
    std::unique_ptr<QDBusConnection> m_connection;
    quint32 m_lastId = 0;
};

} // namespace calidra
