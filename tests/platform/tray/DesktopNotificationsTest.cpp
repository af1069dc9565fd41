// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/DesktopNotifications.h"

#include "PrivateSessionBus.h"
#include "QtPrinters.h"
#include "WaitUntil.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusVirtualObject>
#include <gtest/gtest.h>

namespace calidra {
namespace {

const QString Service = u"org.freedesktop.Notifications"_qs;
const QString Path = u"/org/freedesktop/Notifications"_qs;

// Records each Notify call and answers it with the next number from 41 on.
struct FakeNotificationService : QDBusVirtualObject
{
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls.append(message);
        return connection.send(
            message.createReply(QVariant::fromValue(quint32(40 + calls.size()))));
    }
    QList<QDBusMessage> calls;
};

int logged = 0;

// Without a bus nothing is sent; without a service the bus's error reply
// changes nothing. Neither logs. A later call's answer comes after that error
// reply, so the service starts only then.
TEST(DesktopNotificationsTest, SendsACriticalNotificationThatReplacesTheLastOneOrNothing)
{
    PrivateSessionBus bus;
    if (!bus.failure().isEmpty()) {
        GTEST_SKIP() << bus.failure().toStdString();
    }
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString&) { ++logged; });
    const Notifications::Notification hot{u"The processor is hot"_qs, u"93℃ now"_qs};
    DesktopNotifications(QDBusConnection(u"not connected"_qs)).notify(hot);
    const QDBusConnection program = bus.connect(u"program"_qs);
    DesktopNotifications notifications(program);
    notifications.notify(hot);
    EXPECT_FALSE(program.interface()->isServiceRegistered(Service).value());
    QCoreApplication::processEvents();

    FakeNotificationService service;
    QDBusConnection serving = bus.connect(u"service"_qs);
    ASSERT_TRUE(serving.registerVirtualObject(Path, &service) && serving.registerService(Service));
    notifications.notify(hot);
    ASSERT_TRUE(waitUntil([&] { return notifications.lastId() == 41; }));
    notifications.notify(hot);
    ASSERT_TRUE(waitUntil([&] { return notifications.lastId() == 42; }));
    qInstallMessageHandler(previous);
    EXPECT_EQ(logged, 0);

    ASSERT_EQ(service.calls.size(), 2);
    EXPECT_EQ(service.calls[0].member(), u"Notify"_qs);
    EXPECT_EQ(service.calls[0].signature(), u"susssasa{sv}i"_qs);
    const QVariantList arguments = service.calls[0].arguments();
    EXPECT_EQ(arguments[0].toString(), u"Calidra"_qs);
    EXPECT_EQ(arguments[1].toUInt(), 0U) << "the error reply gave no number";
    EXPECT_EQ(arguments[2].toString(), u"calidra"_qs);
    EXPECT_EQ(QStringList({arguments[3].toString(), arguments[4].toString()}),
              QStringList({hot.summary, hot.body}));
    const auto hints = qdbus_cast<QVariantMap>(arguments[6].value<QDBusArgument>());
    EXPECT_EQ(hints, (QVariantMap{{u"urgency"_qs, 2}}));
    EXPECT_EQ(hints.value(u"urgency"_qs).metaType(), QMetaType::fromType<uchar>()) << "a byte";
    EXPECT_EQ(arguments[7].toInt(), -1);
    EXPECT_EQ(service.calls[1].arguments()[1].toUInt(), 41U) << "replaces the first";
    serving.unregisterObject(Path);
}

} // namespace
} // namespace calidra
