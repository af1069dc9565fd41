// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/Tray.h"

#include "FakeStatusNotifierWatcher.h"
#include "PrivateSessionBus.h"
#include "WaitUntil.h"
#include "platform/tray/QtTrayFace.h"
#include "platform/tray/SniTrayFace.h"
#include "platform/tray/StatusItem.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

namespace calidra {
namespace {

TEST(TrayTest, PanelsThatShowTheLabelAreKnownByTheirProgramElseByTheDesktop)
{
    // clang-format off
    const struct { const char* desktop; const char* program; bool label; } rows[] = {
        {"GNOME",         "gnome-shell",  true},
        {"KDE",           "gnome-shell",  true},
        {"ubuntu:GNOME",  "",             true},
        {"Budgie:GNOME",  "budgie-panel", true},
        {"gnome",         "",             true},
        {"GNOME",         "xfce4-panel",  false}, // another panel took the watcher
        {"GNOME",         "some-panel",   true},  // unknown: the desktop decides
        {"LXQt",          "some-panel",   false},
        {"KDE",           "plasmashell",  false},
        {"XFCE",          "",             false},
        {"LXQt",          "",             false},
        {"",              "",             false},
        {"::",            "",             false},
        {"GNOME-Flashback", "",           false},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.desktop) + " / " + row.program);
        EXPECT_EQ(Tray::showsLabel(QString::fromUtf8(row.desktop), QString::fromUtf8(row.program)),
                  row.label);
    }
}

TEST(TrayTest, WithoutASessionBusTheItemIsASystemTrayIconAtOnce)
{
    StatusItem item;
    const Tray tray(item, QDBusConnection(u"none"_qs), u"GNOME"_qs);
    EXPECT_NE(qobject_cast<QtTrayFace*>(tray.face()), nullptr);
}

// A panel that starts after the program, quits and starts again: the item
// moves to the StatusNotifierItem, back to the system tray icon, and is
// published anew, each time under a new name that the watcher records.
TEST(TrayTest, TheItemFollowsTheWatcherAsItComesGoesAndComesBack)
{
    PrivateSessionBus bus;
    if (!bus.failure().isEmpty()) {
        GTEST_SKIP() << bus.failure().toStdString();
    }
    StatusItem item;
    const Tray tray(item, bus.connect(u"program"_qs), u"KDE"_qs);
    EXPECT_TRUE(waitUntil([&] { return qobject_cast<QtTrayFace*>(tray.face()) != nullptr; }));

    FakeStatusNotifierWatcher watcher(bus.connect(u"panel"_qs));
    ASSERT_TRUE(watcher.isServing());
    QStringList names;
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(waitUntil([&] { return watcher.registeredItems().size() == 1; }));
        const auto* face = qobject_cast<SniTrayFace*>(tray.face());
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(watcher.registeredItems(), QStringList{face->serviceName()});
        names.append(face->serviceName());
        watcher.goAway();
        EXPECT_TRUE(waitUntil([&] { return qobject_cast<QtTrayFace*>(tray.face()) != nullptr; }));
        ASSERT_TRUE(watcher.comeBack());
    }
    EXPECT_NE(names[0], names[1]);
}

} // namespace
} // namespace calidra
