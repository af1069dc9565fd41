// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/Tray.h"

#include "FakeStatusNotifierWatcher.h"
#include "PrivateSessionBus.h"
#include "WaitUntil.h"
#include "platform/tray/QtTrayFace.h"
#include "platform/tray/SniTrayFace.h"
#include "platform/tray/StatusItem.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace calidra {
namespace {

// waybar scales the largest picture down to its own size: it gets that size alone.
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
    EXPECT_EQ(Tray::iconSidesFor(u"waybar"_qs), QList<int>{16});
    EXPECT_EQ(Tray::iconSidesFor(u"xfce4-panel"_qs), QList<int>());
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

// The item as listed by the watcher: this face's, and listed.
bool listed(const Tray& tray, const FakeStatusNotifierWatcher& watcher)
{
    const auto* face = qobject_cast<SniTrayFace*>(tray.face());
    return face && face->isListed() &&
           watcher.registeredItems() ==
               QStringList{face->serviceName() + u"/StatusNotifierItem"_qs};
}

class TrayBusTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_bus.failure().isEmpty()) {
            GTEST_SKIP() << m_bus.failure().toStdString();
        }
    }

    PrivateSessionBus m_bus;
    StatusItem m_item;
};

// Without a bus the item is a system tray icon at once. A panel that starts
// after the program, quits and starts again: the item moves to the
// StatusNotifierItem, back to the system tray icon, and is published and
// listed anew.
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

// A watcher whose panel is still starting shows nothing until its host
// registers; then the item moves there.
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

// The bus drops the program: the system tray icon stands in, and once the bus
// is back (here with its panel started anew) the item is published there.
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

// Shown nowhere at the first look: said once; then the item shows, in a
// panel or a system tray that comes, and that is said too.
TEST_F(TrayBusTest, AnItemShownNowhereIsToldOnceAndWhenItShows)
{
    bool systemTray = false;
    const auto hasSystemTray = [&systemTray] { return systemTray; };
    for (const char* comes : {"a panel", "a system tray"}) {
        SCOPED_TRACE(comes);
        const Tray tray(m_item, on(m_bus.address(), hasSystemTray, std::chrono::milliseconds(300)));
        QSignalSpy unseen(&tray, &Tray::unseen);
        QSignalSpy seen(&tray, &Tray::seen);
        ASSERT_TRUE(waitUntil([&] { return unseen.count() == 1; }));
        EXPECT_FALSE(tray.isShown());
        std::unique_ptr<FakeStatusNotifierWatcher> watcher;
        if (comes == std::string("a panel")) {
            watcher = std::make_unique<FakeStatusNotifierWatcher>(m_bus.connect(u"panel"_qs));
        } else {
            systemTray = true;
        }
        EXPECT_TRUE(waitUntil([&] { return seen.count() == 1; }));
        EXPECT_TRUE(tray.isShown());
        // Gone again later: nothing more is said.
        watcher.reset();
        systemTray = false;
        QTest::qWait(2500);
        EXPECT_EQ(unseen.count(), 1);
        EXPECT_EQ(seen.count(), 1);
    }

    FakeStatusNotifierWatcher watcher(m_bus.connect(u"panel"_qs));
    const Tray tray(m_item, on(m_bus.address(), hasSystemTray, std::chrono::milliseconds(500)));
    QSignalSpy unseen(&tray, &Tray::unseen);
    QTest::qWait(1500);
    EXPECT_TRUE(tray.isShown());
    EXPECT_EQ(unseen.count(), 0);
}

} // namespace
} // namespace calidra
