// SPDX-License-Identifier: GPL-3.0-or-later
#include "ItemRegistration.h"

#include "BusNames.h"
#include "TrayLog.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include <algorithm>

namespace calidra {
namespace {

using BusNames::busCall;
using BusNames::WatcherPath;
using BusNames::WatcherService;

constexpr int LongestRetryDelay = 30000;
// A burst of the watcher's signals (a panel setting up many items) is
// answered with one read of its list.
constexpr int CheckDelay = 50;
// An item listed this long was set up by the panel; when it is dropped
// after that, the pauses start short again.
constexpr qint64 SettledTime = 60000;

// RequestName's flag that refuses to wait in line for a taken name, and its
// answers for a name this connection owns.
constexpr uint DoNotQueue = 4;
constexpr uint PrimaryOwner = 1;
constexpr uint AlreadyOwner = 4;

QString nextServiceName()
{
    static int made = 0;
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++made);
}

// Calls without waiting and hands the reply to `handle` on `receiver`'s
// behalf; nothing is handed once the receiver is gone.
template <typename Handler>
void callThen(QObject* receiver, const QDBusConnection& connection, const QDBusMessage& call,
              Handler handle)
{
    auto* pending = new QDBusPendingCallWatcher(connection.asyncCall(call), receiver);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, receiver, [pending, handle] {
        pending->deleteLater();
        handle(pending->reply());
    });
}

} // namespace

ItemRegistration::ItemRegistration(const QDBusConnection& connection, const QString& objectPath,
                                   QObject* parent)
    : QObject(parent), m_connection(connection), m_objectPath(objectPath)
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &ItemRegistration::registerItem);
    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(CheckDelay);
    connect(&m_checkTimer, &QTimer::timeout, this, &ItemRegistration::check);
    for (const char* signal : {"StatusNotifierItemRegistered", "StatusNotifierItemUnregistered"}) {
        m_connection.connect(WatcherService, WatcherPath, WatcherService,
                             QString::fromLatin1(signal), this, SLOT(scheduleCheck()));
    }
    m_connection.connect(WatcherService, WatcherPath,
                         QStringLiteral("org.freedesktop.DBus.Properties"),
                         QStringLiteral("PropertiesChanged"), this, SLOT(scheduleCheck()));
    registerItem();
}

// The name is given back without waiting; the bus handles the request after
// any claim still on its way.
ItemRegistration::~ItemRegistration()
{
    if (!m_serviceName.isEmpty()) {
        m_connection.send(busCall(QStringLiteral("ReleaseName"), {m_serviceName}));
    }
}

bool ItemRegistration::lists(const QString& entry, const QString& uniqueName,
                             const QString& serviceName, const QString& objectPath)
{
    const qsizetype slash = entry.indexOf(u'/');
    QString service = slash < 0 ? entry : entry.left(slash);
    const QString path = slash < 0 ? objectPath : entry.mid(slash);
    if (service.endsWith(u'@')) {
        service.chop(1);
    }
    return !service.isEmpty() && path == objectPath &&
           (service == uniqueName || (!serviceName.isEmpty() && service == serviceName));
}

void ItemRegistration::registerItem()
{
    ++m_attempts;
    if (m_attempts % 2 == 1) {
        registerAs(m_objectPath);
    } else {
        claimNameAndRegister();
    }
}

// The watcher's answer, or its error, says little: its list tells.
void ItemRegistration::registerAs(const QString& service)
{
    qCDebug(trayLog) << "registering the item as" << service << "attempt" << m_attempts;
    QDBusMessage call = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, WatcherService, QStringLiteral("RegisterStatusNotifierItem"));
    call.setArguments({service});
    call.setAutoStartService(false);
    callThen(this, m_connection, call, [this](const QDBusMessage&) { scheduleCheck(); });
}

void ItemRegistration::claimNameAndRegister()
{
    if (!m_serviceName.isEmpty()) {
        registerAs(m_serviceName);
        return;
    }
    const QString name = nextServiceName();
    callThen(this, m_connection, busCall(QStringLiteral("RequestName"), {name, DoNotQueue}),
             [this, name](const QDBusMessage& reply) {
                 const QDBusPendingReply<uint> answer(reply);
                 const bool owned = answer.isValid() && (answer.value() == PrimaryOwner ||
                                                         answer.value() == AlreadyOwner);
                 if (owned) {
                     m_serviceName = name;
                 }
                 registerAs(owned ? name : m_objectPath);
             });
}

void ItemRegistration::scheduleCheck()
{
    m_checkTimer.start();
}

void ItemRegistration::check()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    call.setArguments({WatcherService, QStringLiteral("RegisteredStatusNotifierItems")});
    call.setAutoStartService(false);
    callThen(this, m_connection, call, [this](const QDBusMessage& reply) { handleList(reply); });
}

void ItemRegistration::handleList(const QDBusMessage& reply)
{
    QStringList entries;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        entries = reply.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
    }
    const QString uniqueName = m_connection.baseService();
    setListed(std::any_of(entries.cbegin(), entries.cend(), [&](const QString& entry) {
        return lists(entry, uniqueName, m_serviceName, m_objectPath);
    }));
    if (!m_listed && !m_retryTimer.isActive()) {
        qCDebug(trayLog) << "the watcher does not list the item" << entries
                         << "- registering again in" << m_retryDelay << "ms";
        m_retryTimer.start(m_retryDelay);
        m_retryDelay = std::min(m_retryDelay * 2, LongestRetryDelay);
    }
}

void ItemRegistration::setListed(bool listed)
{
    if (listed) {
        m_retryTimer.stop();
    }
    if (listed == m_listed) {
        return;
    }
    m_listed = listed;
    qCDebug(trayLog) << (listed ? "the watcher lists the item" : "the watcher dropped the item");
    if (listed) {
        m_listedSince.start();
    } else if (m_listedSince.isValid() && m_listedSince.elapsed() >= SettledTime) {
        m_retryDelay = FirstRetryDelay;
    }
    emit listedChanged(listed);
}

} // namespace calidra
