// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrayNotice.h"

#include "RecordingNotifications.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace calidra {
namespace {

class TrayNoticeTest : public testing::Test
{
protected:
    RecordingNotifications m_notifications;
    int m_opened = 0;
    TrayNotice m_notice{[this] { ++m_opened; }, u"GNOME"_qs};
};

TEST_F(TrayNoticeTest, ANotificationSaysWhatToDoAndOpensTheStatistics)
{
    m_notice.show();
    EXPECT_TRUE(m_notifications.events.value(0).startsWith(
        u"notice: Calidra cannot be shown in the panel / "_qs));
    EXPECT_TRUE(m_notifications.shown.body.contains(u"gnome-shell-extension-appindicator"_qs));
    ASSERT_EQ(m_notifications.shown.actions.size(), 1);
    EXPECT_EQ(m_notifications.shown.actions[0].second, u"Open Statistics"_qs);
    m_notifications.handlers.actionInvoked(u"default"_qs);
    EXPECT_EQ(m_opened, 0);
    m_notifications.handlers.actionInvoked(m_notifications.shown.actions[0].first);
    EXPECT_EQ(m_opened, 1);
    m_notice.withdraw();
    EXPECT_EQ(m_notifications.events.value(1), u"notice closed"_qs);
}

// Without a notification service the notice is a window that waits for
// nobody; withdrawn, it closes, and a late answer opens nothing.
TEST_F(TrayNoticeTest, WithoutANotificationServiceAWindowStandsIn)
{
    m_notifications.serviceRuns = false;
    m_notice.show();
    QMessageBox* window = m_notice.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible() && !window->isModal());
    m_notice.show();
    EXPECT_EQ(m_notice.window(), window); // shown again, it stays one window
    qobject_cast<QPushButton*>(window->defaultButton())->click();
    EXPECT_EQ(m_opened, 1);
    m_notice.withdraw();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_notice.window(), nullptr);
    m_notifications.handlers.undeliverable();
    EXPECT_EQ(m_notice.window(), nullptr);
}

TEST(TrayNoticeAdviceTest, EachDesktopGetsAdviceItCanFollow)
{
    const char* const appIndicator = "gnome-shell-extension-appindicator";
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"GNOME", appIndicator}, {"ubuntu:GNOME", appIndicator}, {"gnome", appIndicator},
        {"sway", "waybar"}, {"Hyprland", "waybar"},
        {"XFCE", "add a system tray"}, {"", "add a system tray"}, {"::", "add a system tray"},
    };
    // clang-format on
    for (const auto& [desktop, advises] : rows)
        EXPECT_TRUE(
            TrayNotice::advice(QString::fromUtf8(desktop)).contains(QString::fromUtf8(advises)))
            << desktop;
}

} // namespace
} // namespace calidra
