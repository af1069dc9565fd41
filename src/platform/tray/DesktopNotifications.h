// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Notifications.h"

#include <QObject>

#include <array>
#include <memory>

class QDBusMessage;

namespace calidra {

class SessionBus;

/// Notifications through the desktop's notification service
/// (org.freedesktop.Notifications on the session bus), from "Calidra" with the
/// program's icon. Each topic's notification replaces the one before while
/// the service still shows it, and is closed by `close` and when this object
/// is destroyed, at the program's end. Calls never wait for an answer; without
/// a bus or a service a notification is undeliverable, which its handlers
/// hear, and nothing is shown and nothing is logged. When the bus drops the
/// program, the connection comes back (SessionBus).
class DesktopNotifications : public QObject, public Notifications
{
    Q_OBJECT

public:
    /// Notifies over the bus at `busAddress`; empty for the session bus.
    explicit DesktopNotifications(const QString& busAddress = {}, QObject* parent = nullptr);
    /// Closes what it shows, waiting for the bus a second at most.
    ~DesktopNotifications() override;

    void notify(Topic topic, const Notification& notification, Handlers handlers) override;
    void close(Topic topic) override;

    /// The service's number for the topic's notification; 0 while none is
    /// known to be shown.
    quint32 shownId(Topic topic) const { return m_topics[index(topic)].id; }

private slots:
    void handleActionInvoked(uint id, const QString& action);
    void handleNotificationClosed(uint id);

private:
    // A topic's notification: the service's number for it, what hears of it,
    // and the requests sent and withdrawn, so that an answer to a request
    // withdrawn meanwhile closes what it made.
    struct Shown
    {
        quint32 id = 0;
        Handlers handlers;
        quint64 sent = 0;
        quint64 withdrawn = 0;
    };

    static std::size_t index(Topic topic) { return std::size_t(topic); }
    void subscribe();
    void handleReply(Topic topic, quint64 request, const QDBusMessage& reply);
    void closeId(quint32 id);

    std::unique_ptr<SessionBus> m_bus;
    std::array<Shown, 2> m_topics;
};

} // namespace calidra
