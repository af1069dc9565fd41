// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace calidra {
namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
// The launcher's and the installed icon's name.
const QString IconName = QStringLiteral("calidra");
// The critical urgency, which the service keeps on screen until the user
// dismisses it.
constexpr uchar CriticalUrgency = 2;
// -1 leaves the time on screen to the service: for a critical notification
// that is until the user dismisses it, and the face stays marked meanwhile.
constexpr int ServiceChosenTimeout = -1;

} // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection& connection, QObject* parent)
    : QObject(parent), m_connection(std::make_unique<QDBusConnection>(connection))
{}

DesktopNotifications::DesktopNotifications(QObject* parent)
    : DesktopNotifications(QDBusConnection::sessionBus(), parent)
{}

DesktopNotifications::~DesktopNotifications() = default;

// The reply carries the notification's number, which the next one names to
// replace it; an error reply (no service) changes nothing.
void DesktopNotifications::notify(const Notification& notification)
{
    if (!m_connection->isConnected()) {
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    call.setArguments(
        {QStringLiteral("Calidra"), m_lastId, IconName, notification.summary, notification.body,
         QStringList(),
         QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue(CriticalUrgency)}},
         ServiceChosenTimeout});
    auto* pending = new QDBusPendingCallWatcher(m_connection->asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        const QDBusPendingReply<quint32> reply = *pending;
        if (reply.isValid()) {
            m_lastId = reply.value();
        }
    });
}

} // namespace calidra
