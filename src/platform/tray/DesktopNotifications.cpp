// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopNotifications.h"

#include "BusNames.h"
#include "SessionBus.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace calidra {
namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
// The launcher's and the installed icon's name.
const QString IconName = QStringLiteral("calidra");
// Critical notifications stay on screen until the user dismisses them.
constexpr uchar NormalUrgency = 1;
constexpr uchar CriticalUrgency = 2;
// -1 leaves the time on screen to the service, which keeps a critical one
// until the user dismisses it; 0 keeps any other until then too.
constexpr int ServiceChosenTimeout = -1;
constexpr int NeverExpires = 0;
// At the end, closing waits this long at most for the bus to take it.
constexpr int ClosingWait = 1000;

QDBusMessage serviceCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Service, method);
    call.setArguments(arguments);
    return call;
}

QStringList flattened(const QList<std::pair<QString, QString>>& actions)
{
    QStringList flat;
    for (const auto& [key, label] : actions) {
        flat << key << label;
    }
    return flat;
}

} // namespace

DesktopNotifications::DesktopNotifications(const QString& busAddress, QObject* parent)
    : QObject(parent), m_bus(std::make_unique<SessionBus>(busAddress))
{
    connect(m_bus.get(), &SessionBus::connected, this, &DesktopNotifications::subscribe);
    subscribe();
}

// The bus daemon handles a connection's messages in order: once it answers
// a call sent after the requests, they are on their way to the service,
// whether or not the service is quick to take them.
DesktopNotifications::~DesktopNotifications()
{
    bool closing = false;
    for (const Shown& shown : m_topics) {
        closeId(shown.id);
        closing = closing || shown.id != 0;
    }
    if (closing && m_bus->isConnected()) {
        m_bus->connection().call(BusNames::busCall(QStringLiteral("GetId"), {}), QDBus::Block,
                                 ClosingWait);
    }
}

void DesktopNotifications::subscribe()
{
    QDBusConnection connection = m_bus->connection();
    connection.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                       SLOT(handleActionInvoked(uint, QString)));
    connection.connect(Service, Path, Service, QStringLiteral("NotificationClosed"), this,
                       SLOT(handleNotificationClosed(uint)));
}

// The reply carries the notification's number, which the topic's next one
// names to replace it.
void DesktopNotifications::notify(Topic topic, const Notification& notification, Handlers handlers)
{
    Shown& shown = m_topics[index(topic)];
    shown.handlers = std::move(handlers);
    const quint64 request = ++shown.sent;
    if (!m_bus->isConnected()) {
        QTimer::singleShot(0, this, [this, topic, request] {
            handleReply(topic, request, QDBusMessage::createError(QDBusError::Disconnected, {}));
        });
        return;
    }
    const QDBusMessage call =
        serviceCall(QStringLiteral("Notify"),
                    {QStringLiteral("Calidra"), shown.id, IconName, notification.summary,
                     notification.body, flattened(notification.actions),
                     QVariantMap{{QStringLiteral("urgency"),
                                  QVariant::fromValue(notification.critical ? CriticalUrgency
                                                                            : NormalUrgency)}},
                     notification.critical ? ServiceChosenTimeout : NeverExpires});
    auto* pending = new QDBusPendingCallWatcher(m_bus->connection().asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending, topic, request] {
        pending->deleteLater();
        handleReply(topic, request, pending->reply());
    });
}

void DesktopNotifications::close(Topic topic)
{
    Shown& shown = m_topics[index(topic)];
    shown.withdrawn = shown.sent;
    shown.handlers = {};
    closeId(std::exchange(shown.id, 0));
}

// An error (no service, no bus) makes the notification undeliverable; an
// answer to a withdrawn request closes what it showed.
void DesktopNotifications::handleReply(Topic topic, quint64 request, const QDBusMessage& reply)
{
    Shown& shown = m_topics[index(topic)];
    const QDBusPendingReply<quint32> answer(reply);
    if (request <= shown.withdrawn) {
        closeId(answer.isValid() ? answer.value() : 0);
    } else if (answer.isValid()) {
        shown.id = answer.value();
    } else if (request == shown.sent && shown.handlers.undeliverable) {
        shown.handlers.undeliverable();
    }
}

void DesktopNotifications::closeId(quint32 id)
{
    if (id != 0 && m_bus->isConnected()) {
        m_bus->connection().send(serviceCall(QStringLiteral("CloseNotification"), {id}));
    }
}

void DesktopNotifications::handleActionInvoked(uint id, const QString& action)
{
    for (Shown& shown : m_topics) {
        if (id != 0 && shown.id == id && shown.handlers.actionInvoked) {
            // The handler may send or withdraw: it gets its own copy.
            const auto handler = shown.handlers.actionInvoked;
            handler(action);
            return;
        }
    }
}

void DesktopNotifications::handleNotificationClosed(uint id)
{
    for (Shown& shown : m_topics) {
        if (id != 0 && shown.id == id) {
            shown.id = 0;
        }
    }
}

} // namespace calidra
