// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/DesktopNotifications.h"

#include "PrivateSessionBus.h"
#include "QtPrinters.h"
#include "WaitUntil.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace calidra {
namespace {

const QString Service = u"org.freedesktop.Notifications"_qs;
const QString Path = u"/org/freedesktop/Notifications"_qs;

// A notification service that records each Notify call and answers it with
// the next number from 41 on.
class FakeNotificationService : public QDBusVirtualObject
{
public:
    explicit FakeNotificationService(QDBusConnection connection) : m_connection(connection)
    {
        m_serving =
            m_connection.registerVirtualObject(Path, this) && m_connection.registerService(Service);
    }
    ~FakeNotificationService() override
    {
        m_connection.unregisterService(Service);
        m_connection.unregisterObject(Path);
    }

    bool isServing() const { return m_serving; }
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != u"Notify"_qs) {
            return false;
        }
        calls.append(message);
        connection.send(message.createReply(QVariant::fromValue(quint32(40 + calls.size()))));
        return true;
    }

    QList<QDBusMessage> calls;

private:
    QDBusConnection m_connection;
    bool m_serving = false;
};

// Counts what Qt logs while it lives.
class LogCounter
{
public:
    LogCounter() { m_previous = qInstallMessageHandler(&LogCounter::count); }
    ~LogCounter() { qInstallMessageHandler(m_previous); }
    static inline int messages = 0;

private:
    static void count(QtMsgType, const QMessageLogContext&, const QString&) { ++messages; }
    QtMessageHandler m_previous = nullptr;
};

const Notifications::Notification Hot{u"The processor is hot"_qs, u"93℃ now"_qs};

TEST(DesktopNotificationsTest, SendsACriticalNotificationThatReplacesTheLastOne)
{
    PrivateSessionBus bus;
    if (!bus.failure().isEmpty()) {
        GTEST_SKIP() << bus.failure().toStdString();
    }
    FakeNotificationService service(bus.connect(u"service"_qs));
    ASSERT_TRUE(service.isServing());
    DesktopNotifications notifications(bus.connect(u"program"_qs));

    notifications.notify(Hot);
    ASSERT_TRUE(waitUntil([&] { return notifications.lastId() == 41; }));
    notifications.notify({u"Again"_qs, u"95℃ now"_qs});
    ASSERT_TRUE(waitUntil([&] { return notifications.lastId() == 42; }));

    ASSERT_EQ(service.calls.size(), 2);
    const QDBusMessage& first = service.calls[0];
    EXPECT_EQ(first.signature(), u"susssasa{sv}i"_qs);
    const QVariantList arguments = first.arguments();
    EXPECT_EQ(arguments[0].toString(), u"Calidra"_qs);
    EXPECT_EQ(arguments[1].toUInt(), 0U);
    EXPECT_EQ(arguments[2].toString(), u"calidra"_qs);
    EXPECT_EQ(arguments[3].toString(), Hot.summary);
    EXPECT_EQ(arguments[4].toString(), Hot.body);
    EXPECT_TRUE(arguments[5].toStringList().isEmpty());
    const auto hints = qdbus_cast<QVariantMap>(arguments[6].value<QDBusArgument>());
    EXPECT_EQ(hints.keys(), QStringList{u"urgency"_qs});
    EXPECT_EQ(hints.value(u"urgency"_qs).metaType(), QMetaType::fromType<uchar>());
    EXPECT_EQ(hints.value(u"urgency"_qs).toInt(), 2);
    EXPECT_EQ(arguments[7].toInt(), -1);
    EXPECT_EQ(service.calls[1].arguments()[1].toUInt(), 41U) << "replaces the first";
}

// Without a service the bus answers with an error, which changes nothing;
// without a bus nothing is sent. Neither waits nor logs.
TEST(DesktopNotificationsTest, WithoutAServiceOrABusNothingFailsWaitsOrLogs)
{
    PrivateSessionBus bus;
    if (!bus.failure().isEmpty()) {
        GTEST_SKIP() << bus.failure().toStdString();
    }
    const LogCounter log;
    QElapsedTimer timer;
    timer.start();
    DesktopNotifications nowhere(QDBusConnection(u"not connected"_qs));
    nowhere.notify(Hot);
    const QDBusConnection program = bus.connect(u"program"_qs);
    DesktopNotifications notifications(program);
    notifications.notify(Hot);
    EXPECT_LT(timer.elapsed(), 1000);

    // A later call's answer comes after the error reply to the first; the
    // service starts only then.
    EXPECT_FALSE(program.interface()->isServiceRegistered(Service).value());
    QCoreApplication::processEvents();
    FakeNotificationService service(bus.connect(u"service"_qs));
    ASSERT_TRUE(service.isServing());
    notifications.notify(Hot);
    ASSERT_TRUE(waitUntil([&] { return notifications.lastId() == 41; }));
    EXPECT_EQ(service.calls.size(), 1);
    EXPECT_EQ(service.calls[0].arguments()[1].toUInt(), 0U);
    EXPECT_EQ(nowhere.lastId(), 0U);
    EXPECT_EQ(LogCounter::messages, 0);
}

} // namespace
} // namespace calidra
