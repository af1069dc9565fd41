// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/Tray.h"

#include "BusTest.h"
#include "FakeStatusNotifierWatcher.h"
#include "platform/tray/ItemRegistration.h"
#include "platform/tray/QtTrayFace.h"
#include "platform/tray/SniTrayFace.h"
#include "platform/tray/StatusItem.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace calidra {
namespace {

const QString ItemPath = u"/StatusNotifierItem"_qs;

TEST(TrayTest, PanelsThatShowTheLabelAreKnownByTheirProgramElseByTheDesktop)
{
    // clang-format off
    const struct { const char* desktop; const char* program; bool label; } rows[] = {
        {"KDE", "gnome-shell", true}, {"ubuntu:GNOME", "", true}, {"Budgie:GNOME", "budgie-panel", true},
        {"gnome", "", true}, {"GNOME", "xfce4-panel", false}, // another panel took the watcher
        {"GNOME", "some-panel", true}, {"LXQt", "some-panel", false}, // unknown: the desktop decides
        {"KDE", "plasmashell", false}, {"XFCE", "", false}, {"", "", false}, {"::", "", false},
        {"GNOME-Flashback", "", false},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(Tray::showsLabel(QString::fromUtf8(row.desktop), QString::fromUtf8(row.program)),
                  row.label)
            << row.desktop << " / " << row.program;
    }
    // waybar scales the largest picture down to its own size: it gets that size alone.
    EXPECT_EQ(Tray::iconSidesFor(u"waybar"_qs), QList<int>{16});
    EXPECT_EQ(Tray::iconSidesFor(u"xfce4-panel"_qs), QList<int>());
}

TEST(TrayTest, AWatchersEntryListsTheItemInEachFormPanelsUse)
{
    // By path as KDE and Xfce list it, as GNOME does, or the name alone.
    // clang-format off
    const std::tuple<const char*, const char*, bool> rows[] = {
        {":1.7/StatusNotifierItem", "", true}, {":1.7@/StatusNotifierItem", "", true}, {":1.7", "", true},
        {"org.kde.StatusNotifierItem-9-2", "", true},
        {"org.kde.StatusNotifierItem-9-2/StatusNotifierItem", "", true},
        {"org.kde.StatusNotifierItem-9-2@/StatusNotifierItem", "", true},
        {":1.7/MenuBar", "", false}, {":1.77/StatusNotifierItem", "", false},
        {":1.7/StatusNotifierItem/x", "", false}, {"org.kde.StatusNotifierItem-9-3", "", false},
        {"/StatusNotifierItem", "", false}, {"@/StatusNotifierItem", "", false}, {"", "", false},
        {"", nullptr, false}, {"/StatusNotifierItem", nullptr, false},
    };
    // clang-format on
    for (const auto& [entry, named, listed] : rows) {
        const QString name = named ? u"org.kde.StatusNotifierItem-9-2"_qs : QString();
        EXPECT_EQ(ItemRegistration::lists(QString::fromUtf8(entry), u":1.7"_qs, name, ItemPath),
                  listed)
            << entry;
    }
}

Tray::Environment on(const QString& address, std::function<bool()> systemTray = {},
                     std::chrono::milliseconds noticeDelay = std::chrono::seconds(10))
{
    return {address, u"KDE"_qs, std::move(systemTray), noticeDelay};
}

bool usesSystemTrayIcon(const Tray& tray)
{
    return qobject_cast<QtTrayFace*>(tray.face()) != nullptr;
}

bool listed(const Tray& tray, const FakeStatusNotifierWatcher& watcher)
{
    const auto* face = qobject_cast<SniTrayFace*>(tray.face());
    return face && face->isListed() &&
           watcher.registeredItems() == QStringList{face->serviceName() + ItemPath};
}

class TrayBusTest : public BusTest
{
protected:
    StatusItem m_item;
};

TEST_F(TrayBusTest, TheItemFollowsTheWatcherAsItComesGoesAndComesBack)
{
    EXPECT_TRUE(usesSystemTrayIcon(Tray(m_item, on(u"unix:path=/nonexistent/bus"_qs))));
    const Tray tray(m_item, on(m_bus.address()));
    EXPECT_TRUE(waitUntil([&] { return usesSystemTrayIcon(tray); }));
    FakeStatusNotifierWatcher watcher(m_bus.connect(u"panel"_qs));
    ASSERT_TRUE(watcher.isServing());
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(waitUntil([&] { return listed(tray, watcher); }));
        EXPECT_TRUE(tray.isShown());
        watcher.goAway();
        EXPECT_TRUE(waitUntil([&] { return usesSystemTrayIcon(tray); }));
        ASSERT_TRUE(watcher.comeBack());
    }
}

TEST_F(TrayBusTest, AHostThatRegistersLateGetsTheItem)
{
    FakeStatusNotifierWatcher watcher(m_bus.connect(u"panel"_qs),
                                      FakeStatusNotifierWatcher::Host::Late);
    const Tray tray(m_item, on(m_bus.address()));
    QTest::qWait(1500);
    EXPECT_TRUE(usesSystemTrayIcon(tray));
    EXPECT_TRUE(watcher.registeredItems().isEmpty());
    watcher.registerHost();
    EXPECT_TRUE(waitUntil([&] { return listed(tray, watcher); }));
}

TEST_F(TrayBusTest, TheItemComesBackAfterTheBusDropsIt)
{
    auto watcher = std::make_unique<FakeStatusNotifierWatcher>(m_bus.connect(u"panel"_qs));
    const Tray tray(m_item, on(m_bus.address()));
    ASSERT_TRUE(waitUntil([&] { return listed(tray, *watcher); }));
    watcher.reset();
    ASSERT_TRUE(m_bus.restart());
    EXPECT_TRUE(waitUntil([&] { return usesSystemTrayIcon(tray); }));
    watcher = std::make_unique<FakeStatusNotifierWatcher>(m_bus.connect(u"panel again"_qs));
    ASSERT_TRUE(watcher->isServing());
    EXPECT_TRUE(waitUntil([&] { return listed(tray, *watcher); }, 10000));
}

TEST_F(TrayBusTest, AnItemShownNowhereIsToldOnceAndWhenItShows)
{
    bool systemTray = false;
    const auto hasSystemTray = [&systemTray] { return systemTray; };
    for (const bool panelComes : {true, false}) {
        SCOPED_TRACE(panelComes ? "a panel" : "a system tray");
        const Tray tray(m_item, on(m_bus.address(), hasSystemTray, std::chrono::milliseconds(300)));
        QSignalSpy unseen(&tray, &Tray::unseen), seen(&tray, &Tray::seen);
        ASSERT_TRUE(waitUntil([&] { return unseen.count() == 1; }));
        EXPECT_FALSE(tray.isShown());
        std::unique_ptr<FakeStatusNotifierWatcher> watcher;
        if (panelComes) {
            watcher = std::make_unique<FakeStatusNotifierWatcher>(m_bus.connect(u"panel"_qs));
        }
        systemTray = !panelComes;
        EXPECT_TRUE(waitUntil([&] { return seen.count() == 1; }));
        EXPECT_TRUE(tray.isShown());
        watcher.reset(); // gone again later: nothing more is said
        systemTray = false;
        QTest::qWait(2500);
        EXPECT_EQ((QList<qsizetype>{unseen.count(), seen.count()}), (QList<qsizetype>{1, 1}));
    }
    FakeStatusNotifierWatcher watcher(m_bus.connect(u"panel"_qs));
    const Tray tray(m_item, on(m_bus.address(), hasSystemTray, std::chrono::milliseconds(500)));
    QSignalSpy unseen(&tray, &Tray::unseen);
    QTest::qWait(1500);
    EXPECT_TRUE(tray.isShown());
    EXPECT_EQ(unseen.count(), 0);
}

class ItemRegistrationTest : public TrayBusTest
{
protected:
    void SetUp() override
    {
        TrayBusTest::SetUp();
        // What registers is an object the watcher can find, as a panel checks.
        ASSERT_TRUE(IsSkipped() ||
                    (m_watcher.isServing() && m_itemBus.registerObject(ItemPath, &m_object)));
    }

    QDBusConnection m_itemBus = m_bus.connect(u"item"_qs);
    FakeStatusNotifierWatcher m_watcher{m_bus.connect(u"watcher"_qs)};
    QObject m_object;
};

// As a panel that fails to set the item up: registered again, by name in between.
TEST_F(ItemRegistrationTest, AnItemTheWatcherDropsIsRegisteredAgainUntilItStays)
{
    m_watcher.dropRegistrations(2, 200);
    auto registration = std::make_unique<ItemRegistration>(m_itemBus, ItemPath);
    EXPECT_TRUE(waitUntil([&] { return registration->attempts() == 3 && registration->isListed(); },
                          10000));
    QTest::qWait(1000);
    EXPECT_TRUE(registration->isListed());
    EXPECT_EQ(registration->attempts(), 3);
    const QString name = registration->serviceName();
    EXPECT_EQ(m_watcher.registrations(), (QStringList{ItemPath, name, ItemPath}));
    EXPECT_TRUE(name.startsWith(u"org.kde.StatusNotifierItem-"_qs));
    const QString entry = m_itemBus.baseService() + ItemPath;
    EXPECT_TRUE(m_watcher.registeredItems().contains(entry));
    m_watcher.forget(entry); // forgotten later: registered again
    EXPECT_TRUE(waitUntil([&] { return !registration->isListed(); }));
    EXPECT_TRUE(waitUntil([&] { return registration->isListed(); }));
    EXPECT_EQ(registration->attempts(), 4);
    EXPECT_TRUE(m_itemBus.interface()->isServiceRegistered(name));
    registration.reset();
    const QDBusConnection panel = m_bus.connect(u"panel"_qs);
    EXPECT_TRUE(waitUntil([&] { return !panel.interface()->isServiceRegistered(name); }));
}

TEST_F(ItemRegistrationTest, AWatcherThatNeverListsTheItemIsAskedLessAndLessOften)
{
    m_watcher.ignoreRegistrations(true);
    ItemRegistration registration(m_itemBus, ItemPath);
    QTest::qWait(4000);
    EXPECT_FALSE(registration.isListed());
    EXPECT_GE(registration.attempts(), 3); // 0, 0.5, 1.5 and 3.5 seconds
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
