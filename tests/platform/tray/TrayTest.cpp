#include "platform/tray/Tray.h"

#include "platform/tray/QtTrayFace.h"
#include "platform/tray/StatusItem.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

namespace calidra {
namespace {

TEST(TrayTest, PanelsThatShowTheLabelAreKnownByTheirProgramFirstThenByTheDesktop)
{
    // clang-format off
    const struct { const char* desktop; const char* program; bool label; } rows[] = {
        {"GNOME",         "gnome-shell",  true},
        {"KDE",           "gnome-shell",  true},
        {"ubuntu:GNOME",  "",             true},
        {"Budgie:GNOME",  "budgie-panel", true},
        {"gnome",         "",             true},
        {"GNOME",         "xfce4-panel",  false}, // another panel took the watcher
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

} // namespace
} // namespace calidra
