// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/ItemRegistration.h"

#include "FakeStatusNotifierWatcher.h"
#include "PrivateSessionBus.h"
#include "WaitUntil.h"

#include <QDBusConnectionInterface>
#include <QObject>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace calidra {
namespace {

const QString ItemPath = u"/StatusNotifierItem"_qs;

TEST(ItemRegistrationTest, AWatchersEntryListsTheItemInEachFormPanelsUse)
{
    // By path as KDE and Xfce list it, as GNOME does, or the name alone.
    for (const char* entry :
         {":1.7/StatusNotifierItem", ":1.7@/StatusNotifierItem", ":1.7",
          "org.kde.StatusNotifierItem-9-2", "org.kde.StatusNotifierItem-9-2/StatusNotifierItem",
          "org.kde.StatusNotifierItem-9-2@/StatusNotifierItem"}) {
        EXPECT_TRUE(ItemRegistration::lists(QString::fromUtf8(entry), u":1.7"_qs,
                                            u"org.kde.StatusNotifierItem-9-2"_qs, ItemPath))
            << entry;
    }
    // Another object, another program, or no service at all.
    for (const char* entry :
         {":1.7/MenuBar", ":1.77/StatusNotifierItem", ":1.7/StatusNotifierItem/x",
          "org.kde.StatusNotifierItem-9-3", "/StatusNotifierItem", "@/StatusNotifierItem", ""}) {
        EXPECT_FALSE(ItemRegistration::lists(QString::fromUtf8(entry), u":1.7"_qs,
                                             u"org.kde.StatusNotifierItem-9-2"_qs, ItemPath))
            << entry;
    }
    EXPECT_FALSE(ItemRegistration::lists(u""_qs, u":1.7"_qs, {}, ItemPath));
    EXPECT_FALSE(ItemRegistration::lists(u"/StatusNotifierItem"_qs, u":1.7"_qs, {}, ItemPath));
}

class ItemRegistrationBusTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_bus.failure().isEmpty()) {
            GTEST_SKIP() << m_bus.failure().toStdString();
        }
        ASSERT_TRUE(m_watcher.isServing());
        // What registers is an object the watcher can find, as a panel checks.
        ASSERT_TRUE(m_itemBus.registerObject(ItemPath, &m_object));
    }

    QString listedEntry() const { return m_itemBus.baseService() + ItemPath; }

    PrivateSessionBus m_bus;
    QDBusConnection m_itemBus = m_bus.connect(u"item"_qs);
    FakeStatusNotifierWatcher m_watcher{m_bus.connect(u"watcher"_qs)};
    QObject m_object;
};

// A panel that takes the item and drops it again, as one that fails to set
// it up: the item is registered again, by name in between, until it stays.
// The name goes back to the bus with the registration.
TEST_F(ItemRegistrationBusTest, AnItemTheWatcherDropsIsRegisteredAgainUntilItStays)
{
    m_watcher.dropRegistrations(2, 200);
    auto owned = std::make_unique<ItemRegistration>(m_itemBus, ItemPath);
    ItemRegistration& registration = *owned;
    EXPECT_TRUE(
        waitUntil([&] { return registration.attempts() == 3 && registration.isListed(); }, 10000));
    QTest::qWait(1000);
    EXPECT_TRUE(registration.isListed());
    EXPECT_EQ(registration.attempts(), 3);
    EXPECT_EQ(m_watcher.registrations(),
              (QStringList{ItemPath, registration.serviceName(), ItemPath}));
    EXPECT_TRUE(registration.serviceName().startsWith(u"org.kde.StatusNotifierItem-"_qs));
    EXPECT_TRUE(m_watcher.registeredItems().contains(listedEntry()));

    // Forgotten later: registered again.
    m_watcher.forget(listedEntry());
    EXPECT_TRUE(waitUntil([&] { return !registration.isListed(); }));
    EXPECT_TRUE(waitUntil([&] { return registration.isListed(); }));
    EXPECT_EQ(registration.attempts(), 4);
    const QString name = registration.serviceName();
    EXPECT_TRUE(m_itemBus.interface()->isServiceRegistered(name));
    owned.reset();
    const QDBusConnection panel = m_bus.connect(u"panel"_qs);
    EXPECT_TRUE(waitUntil([&] { return !panel.interface()->isServiceRegistered(name); }));
}

// A watcher that answers and never lists the item, or is not there at all,
// gets registrations at a pace that slows down, not a stream of them.
TEST_F(ItemRegistrationBusTest, AWatcherThatNeverListsTheItemIsAskedLessAndLessOften)
{
    m_watcher.ignoreRegistrations(true);
    ItemRegistration registration(m_itemBus, ItemPath);
    QTest::qWait(4000);
    EXPECT_FALSE(registration.isListed());
    // 0, 0.5, 1.5 and 3.5 seconds.
    EXPECT_GE(registration.attempts(), 3);
    EXPECT_LE(registration.attempts(), 4);

    m_watcher.goAway();
    m_watcher.ignoreRegistrations(false);
    ItemRegistration alone(m_itemBus, ItemPath);
    QTest::qWait(2000);
    EXPECT_LE(alone.attempts(), 3);
    ASSERT_TRUE(m_watcher.comeBack());
    EXPECT_TRUE(waitUntil([&] { return alone.isListed(); }, 10000));
}

} // namespace
} // namespace calidra
