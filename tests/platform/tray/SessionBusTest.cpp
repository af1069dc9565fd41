// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/SessionBus.h"

#include "PrivateSessionBus.h"
#include "WaitUntil.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace calidra {
namespace {

// A daemon that dies and comes back: the connection is noticed lost at once,
// and is back, under a new name on the bus, once the daemon is.
TEST(SessionBusTest, ALostConnectionIsNoticedAndComesBackWithTheBus)
{
    PrivateSessionBus daemon;
    if (!daemon.failure().isEmpty()) {
        GTEST_SKIP() << daemon.failure().toStdString();
    }
    SessionBus bus(daemon.address());
    ASSERT_TRUE(bus.isConnected());
    const QString firstName = bus.connection().baseService();
    QSignalSpy lost(&bus, &SessionBus::disconnected);
    QSignalSpy back(&bus, &SessionBus::connected);

    ASSERT_TRUE(daemon.restart());
    EXPECT_TRUE(waitUntil([&] { return lost.count() == 1; }));
    EXPECT_TRUE(waitUntil([&] { return back.count() == 1; }, 10000));
    EXPECT_TRUE(bus.isConnected());
    EXPECT_FALSE(bus.connection().baseService().isEmpty());
    EXPECT_EQ(lost.count(), 1);
}

} // namespace
} // namespace calidra
