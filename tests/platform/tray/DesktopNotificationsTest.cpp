// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/DesktopNotifications.h"

#include "BusTest.h"
#include "LogRecorder.h"
#include "QtPrinters.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusVirtualObject>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace calidra {
namespace {

using Topic = Notifications::Topic;

const QString Service = u"org.freedesktop.Notifications"_qs;
const QString Path = u"/org/freedesktop/Notifications"_qs;

// Records each call; answers Notify with the next number from 41 on, `answerDelay` later.
struct FakeNotificationService : QDBusVirtualObject
{
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls.append(message);
        const bool notify = message.member() == u"Notify"_qs;
        members.append(notify ? message.member()
                              : u"Close %1"_qs.arg(message.arguments().value(0).toUInt()));
        notifies += notify ? 1 : 0;
        const QDBusMessage reply =
            notify ? message.createReply(QVariant::fromValue(quint32(40 + notifies)))
                   : message.createReply();
        QTimer::singleShot(answerDelay,
                           [connection, reply] { QDBusConnection(connection).send(reply); });
        return true;
    }
    QList<QDBusMessage> calls;
    QStringList members; // with the first argument of CloseNotification
    int notifies = 0, answerDelay = 0;
};

class DesktopNotificationsTest : public BusTest
{
protected:
    void serve()
    {
        ASSERT_TRUE(m_serving.registerVirtualObject(Path, &m_service) &&
                    m_serving.registerService(Service));
    }

    void emitSignal(const QString& name, const QVariantList& arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(Path, Service, name);
        signal.setArguments(arguments);
        m_serving.send(signal);
    }

    QDBusConnection m_serving = m_bus.connect(u"service"_qs);
    FakeNotificationService m_service;
    const Notifications::Notification m_hot{u"The processor is hot"_qs, u"93℃ now"_qs};
    const Notifications::Notification m_notice{
        u"Calidra cannot be shown"_qs, u"Add a tray."_qs, false, {{u"open"_qs, u"Open"_qs}}};
};

TEST_F(DesktopNotificationsTest, WithoutABusOrAServiceANotificationIsUndeliverable)
{
    const LogRecorder log({});
    for (const QString& address : {u"unix:path=/nonexistent/bus"_qs, m_bus.address()}) {
        SCOPED_TRACE(address.toStdString());
        DesktopNotifications notifications(address);
        int undeliverable = 0;
        notifications.notify(Topic::Notice, m_notice, {{}, [&undeliverable] { ++undeliverable; }});
        EXPECT_TRUE(waitUntil([&] { return undeliverable == 1; }));
        notifications.notify(Topic::Alarm, m_hot, {});
        QTest::qWait(100);
        EXPECT_EQ(notifications.shownId(Topic::Alarm), 0U);
    }
    EXPECT_EQ(log.messages, QStringList());
}

TEST_F(DesktopNotificationsTest, EachTopicReplacesItsOwnNotification)
{
    serve();
    DesktopNotifications notifications(m_bus.address());
    notifications.notify(Topic::Alarm, m_hot, {});
    ASSERT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Alarm) == 41; }));
    notifications.notify(Topic::Notice, m_notice, {});
    ASSERT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Notice) == 42; }));
    notifications.notify(Topic::Alarm, m_hot, {});
    ASSERT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Alarm) == 43; }));

    ASSERT_EQ(m_service.calls.size(), 3);
    EXPECT_EQ(m_service.calls[0].signature(), u"susssasa{sv}i"_qs);
    const QVariantList hot = m_service.calls[0].arguments();
    EXPECT_EQ(
        QStringList({hot[0].toString(), hot[2].toString(), hot[3].toString(), hot[4].toString()}),
        QStringList({u"Calidra"_qs, u"calidra"_qs, m_hot.summary, m_hot.body}));
    const auto hints = qdbus_cast<QVariantMap>(hot[6].value<QDBusArgument>());
    EXPECT_EQ(hints.value(u"urgency"_qs).metaType(), QMetaType::fromType<uchar>()) << "a byte";
    const QVariantList notice = m_service.calls[1].arguments();
    // What each call replaces, its actions, urgency and timeout: the alarm is critical and
    // left to the service's timing, the notice is normal, stays and has its button.
    const auto shape = [](const QVariantList& arguments) {
        return std::tuple(arguments[1].toUInt(), arguments[5].toStringList(),
                          qdbus_cast<QVariantMap>(arguments[6].value<QDBusArgument>()),
                          arguments[7].toInt());
    };
    EXPECT_EQ(shape(hot), std::tuple(0U, QStringList(), QVariantMap{{u"urgency"_qs, 2}}, -1));
    EXPECT_EQ(shape(notice), std::tuple(0U, QStringList{u"open"_qs, u"Open"_qs},
                                        QVariantMap{{u"urgency"_qs, 1}}, 0));
    EXPECT_EQ(m_service.calls[2].arguments()[1].toUInt(), 41U);
}

TEST_F(DesktopNotificationsTest, WithdrawnNotificationsAreClosedSoAreThoseLeftAtTheEnd)
{
    serve();
    {
        DesktopNotifications notifications(m_bus.address());
        notifications.notify(Topic::Alarm, m_hot, {});
        ASSERT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Alarm) == 41; }));
        notifications.close(Topic::Alarm);
        notifications.close(Topic::Alarm);
        EXPECT_TRUE(waitUntil([&] { return m_service.calls.size() == 2; }));

        m_service.answerDelay = 300;
        notifications.notify(Topic::Alarm, m_hot, {});
        QTest::qWait(50);
        notifications.close(Topic::Alarm);
        EXPECT_TRUE(waitUntil([&] { return m_service.calls.size() == 4; }));

        m_service.answerDelay = 0;
        notifications.notify(Topic::Notice, m_notice, {});
        ASSERT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Notice) == 43; }));
        // The user dismissed it: nothing left to close.
        notifications.notify(Topic::Alarm, m_hot, {});
        ASSERT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Alarm) == 44; }));
        emitSignal(u"NotificationClosed"_qs, {44U, 2U});
        EXPECT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Alarm) == 0; }));
    }
    EXPECT_TRUE(waitUntil([&] { return m_service.calls.size() == 7; }));
    EXPECT_EQ(m_service.members,
              (QStringList{u"Notify"_qs, u"Close 41"_qs, u"Notify"_qs, u"Close 42"_qs, u"Notify"_qs,
                           u"Notify"_qs, u"Close 43"_qs}));
}

TEST_F(DesktopNotificationsTest, AChosenActionReachesItsNotificationsHandlerAlone)
{
    serve();
    DesktopNotifications notifications(m_bus.address());
    QStringList chosen;
    for (const auto& [topic, name] :
         {std::pair{Topic::Alarm, u"alarm "_qs}, {Topic::Notice, u"notice "_qs}}) {
        notifications.notify(
            topic, topic == Topic::Alarm ? m_hot : m_notice,
            {[&chosen, name](const QString& action) { chosen << name + action; }, {}});
    }
    ASSERT_TRUE(waitUntil([&] { return notifications.shownId(Topic::Notice) == 42; }));
    for (const uint id : {42U, 7U, 0U}) {
        emitSignal(u"ActionInvoked"_qs, {id, u"open"_qs});
    }
    EXPECT_TRUE(waitUntil([&] { return !chosen.isEmpty(); }));
    QTest::qWait(100);
    EXPECT_EQ(chosen, QStringList{u"notice open"_qs});
}

} // namespace
} // namespace calidra
