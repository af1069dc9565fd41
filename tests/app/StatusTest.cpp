// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "QtPrinters.h"
#include "RecordingNotifications.h"
#include "ScriptedGauge.h"
#include "SettingsFile.h"
#include "app/StatusPresenter.h"
#include "app/StatusRefresh.h"
#include "app/TrayNotice.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaultsSetup.h"
#include "measurement/GaugeReader.h"
#include "platform/MenuItem.h"
#include "platform/tray/StatusItem.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace calidra {
namespace {

// A title's text, whether its font is bold, and its point size.
using Title = std::tuple<QString, bool, qreal>;

class StatusPresenterTest : public testing::Test
{
protected:
    StatusPresenterTest()
    {
        _initializeUserDefaults();
        defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::celsius);
    }
    const GaugeReader* t(bool with) const { return with ? temperature.get() : nullptr; }
    const GaugeReader* f(bool with) const { return with ? frequency.get() : nullptr; }
    Title title(bool withTemperature, bool withFrequency) const
    {
        const StatusTitle composed =
            presenter.composeTitle(defaults, t(withTemperature), f(withFrequency));
        return {composed.text, composed.font.bold(), composed.font.pointSizeF()};
    }

    // In order of use; the process-wide ones stay current until those below are gone.
    SettingsFile settings;
    UserDefaults& defaults = settings.defaults;
    FixtureBundle bundle;
    const bool iconAdded = [this] {
        bundle.addResource(u"Status Icon.svg"_qs, "<svg xmlns='http://www.w3.org/2000/svg'/>");
        return true;
    }();
    std::unique_ptr<GaugeReader> temperature = GaugeReader::initWithGauge(fixedGauge(52.4F), 2.0);
    std::unique_ptr<GaugeReader> frequency = GaugeReader::initWithGauge(fixedGauge(2000.0F), 2.25);
    const StatusPresenter presenter;
};

// Damaged font sizes are SettingsTest's; two lines follow the settings, not the readers.
TEST_F(StatusPresenterTest, TitleFollowsTheReadersAndTheFontRules)
{
    EXPECT_EQ(title(true, false), (Title{u"52℃"_qs, false, 13}));
    EXPECT_EQ(title(false, false), (Title{u""_qs, false, 13}));
    EXPECT_EQ(title(true, true), (Title{u"52℃ 2.00 GHz"_qs, false, 13}));
    EXPECT_EQ(title(false, true), (Title{u"2.00 GHz"_qs, false, 13}));
    defaults.setFloat(9.0F, Settings::FontSize::name);
    EXPECT_EQ(title(true, false), (Title{u"52℃"_qs, true, 9}));
    defaults.setFloat(9.5F, Settings::FontSize::name);
    EXPECT_EQ(title(true, false), (Title{u"52℃"_qs, false, 9.5}));
    defaults.setFloat(13.0F, Settings::FontSize::name);
    defaults.setValue<Settings::GaugeFrequency>(true);
    defaults.setValue<Settings::ArrangeVertically>(true);
    EXPECT_EQ(title(true, true), (Title{u"52℃\n2.00 GHz"_qs, true, 9}));
    EXPECT_EQ(title(true, false), (Title{u"52℃"_qs, true, 9}));
    defaults.setFloat(8.0F, Settings::FontSize::name);
    EXPECT_EQ(title(true, true), (Title{u"52℃\n2.00 GHz"_qs, true, 8}));

    // The guide holds the widest values: three digits, and megahertz.
    const StatusTitle both = presenter.composeTitle(defaults, t(true), f(true));
    EXPECT_EQ(both.values, (QStringList{u"52℃"_qs, u"2.00 GHz"_qs}));
    EXPECT_EQ(both.labelGuide, u"188℃ 888.88 MHz"_qs);
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::fahrenheit);
    const StatusTitle fahrenheit = presenter.composeTitle(defaults, t(true), nullptr);
    EXPECT_EQ(fahrenheit.values, QStringList{u"126℉"_qs});
    EXPECT_EQ(fahrenheit.labelGuide, u"370℉"_qs);
    EXPECT_TRUE(presenter.composeTitle(defaults, nullptr, nullptr).values.isEmpty());
    EXPECT_TRUE(presenter.initialTitle(defaults).values.isEmpty());
    EXPECT_EQ(presenter.toolTip(t(true), f(true)),
              u"126℉ 2.00 GHz\nLast ten minutes\n126.32℉ 2.00 GHz Minimum\n"
              "126.32℉ 2.00 GHz Average\n126.32℉ 2.00 GHz Maximum"_qs);
    EXPECT_EQ(presenter.toolTip(nullptr, nullptr), QString());
}

TEST_F(StatusPresenterTest, InitialTitleAndTheIconFollowShowIcon)
{
    const StatusTitle initial = presenter.initialTitle(defaults);
    EXPECT_EQ(initial.text, u"Please wait..."_qs);
    EXPECT_FALSE(initial.font.bold());
    EXPECT_TRUE(initial.image.isNull());
    defaults.setValue<Settings::ShowIcon>(true);
    EXPECT_FALSE(presenter.initialTitle(defaults).image.isNull());
    EXPECT_FALSE(presenter.composeTitle(defaults, nullptr, nullptr).image.isNull());
    QFile::remove(bundle.bundle.resourcePath() + u"/Status Icon.svg"_qs);
    EXPECT_TRUE(StatusPresenter().initialTitle(defaults).image.isNull());
}

TEST_F(StatusPresenterTest, InformationItemsShowTheStatisticsDisabled)
{
    // Tag, readers present, title after validation, indentation, enabled.
    using Case = std::tuple<int, bool, bool, QString, int, bool>;
    // clang-format off
    const Case cases[] = {
        {StatusPresenter::TenMinuteAverageTag, true, true, u"52.40℃ 2.00 GHz Average"_qs, 1, false},
        {StatusPresenter::TenMinuteAverageTag, false, true, u"2.00 GHz Average"_qs, 1, false},
        {StatusPresenter::OverallMinimumTag, true, false, u"52.40℃ Minimum"_qs, 1, false},
        {StatusPresenter::OverallMaximumTag, true, false, u"52.40℃ Maximum"_qs, 1, false},
        {StatusPresenter::IntervalTag, true, true, u"Updating every 2.2 seconds"_qs, 0, false}, // a tie rounds to even
        {StatusPresenter::IntervalTag, true, false, u"Updating every 2.0 seconds"_qs, 0, false},
        {StatusPresenter::TenMinuteMinimumTag, false, false, u""_qs, 0, false},
        {150, false, false, u""_qs, 0, false}, // an unknown tag above the information items
        {150, true, false, u"untouched"_qs, 0, true},
        {0, false, false, u"untouched"_qs, 0, true},
    };
    // clang-format on
    for (const auto& [tag, withTemperature, withFrequency, text, level, enabled] : cases) {
        SCOPED_TRACE(tag);
        MenuItem item{tag, u"untouched"_qs, 0};
        EXPECT_EQ(presenter.validateMenuItem(item, t(withTemperature), f(withFrequency)), enabled);
        EXPECT_EQ(item.title, text);
        EXPECT_EQ(item.indentationLevel, level);
    }
}

struct SettableGauge : Gauge
{
    float gauge() override { return reading; }
    float reading = 52.3F;
};

DisplaySettings celsius()
{
    return {false, DisplaySettings::fontFor(13, false), false, false};
}

// A temperature reader on a gauge the test sets, shown on an item whose
// announcements are recorded.
class StatusRefreshTest : public testing::Test
{
protected:
    StatusRefreshTest()
    {
        QObject::connect(&item, &StatusItem::titleChanged, [this] { heard.append(u"title"_qs); });
        QObject::connect(&item, &StatusItem::toolTipChanged,
                         [this] { heard.append(u"tooltip"_qs); });
    }
    void sample(float reading)
    {
        gauge->reading = reading;
        reader->_gaugeTimerFired();
        refresh.refresh(StatusReadings::of(reader.get(), nullptr, nullptr));
    }
    QString toolTip(bool fahrenheit) const
    {
        return presenter.toolTip(StatusReadings::of(reader.get(), nullptr, nullptr), fahrenheit);
    }

    std::shared_ptr<SettableGauge> gauge = std::make_shared<SettableGauge>();
    std::unique_ptr<GaugeReader> reader = GaugeReader::initWithGauge(gauge, 2.0);
    const StatusPresenter presenter;
    StatusItem item;
    StatusRefresh refresh{presenter, item, celsius()};
    QStringList heard;
};

// Each step announces at most one change, and only what changed at the
// precision shown.
TEST_F(StatusRefreshTest, EachSampleAnnouncesOneChangeAndOnlyWhatItShowsDifferently)
{
    // What each step does, what the item announces and the title it shows.
    using Step = std::tuple<const char*, std::function<void()>, QStringList, QString>;
    DisplaySettings fahrenheit = celsius();
    fahrenheit.fahrenheit = true;
    // clang-format off
    const Step steps[] = {
        {"the first sample", [&] { sample(52.3F); }, {u"title"_qs}, u"52℃"_qs},
        {"the same again", [&] { sample(52.3F); }, {}, u"52℃"_qs},
        {"a change below the title's precision", [&] { sample(52.4F); }, {u"tooltip"_qs}, u"52℃"_qs},
        {"a change the title shows", [&] { sample(53.0F); }, {u"title"_qs}, u"53℃"_qs},
        {"the same settings read again", [&] { refresh.setSettings(celsius()); sample(53.0F); },
         {u"tooltip"_qs}, u"53℃"_qs},
        {"another unit", [&] { refresh.setSettings(fahrenheit); sample(53.0F); }, {u"title"_qs},
         u"127℉"_qs},
        {"a title shown meanwhile", [&] {
             item.setTitle({u"meanwhile"_qs, QFont(), QIcon(), {}, {}});
             heard.clear();
             refresh.invalidate();
             sample(53.0F);
         }, {u"title"_qs}, u"127℉"_qs},
    };
    // clang-format on
    for (const auto& [name, action, announced, title] : steps) {
        SCOPED_TRACE(name);
        action();
        EXPECT_EQ(std::exchange(heard, {}), announced);
        EXPECT_EQ(item.title(), title);
        EXPECT_EQ(item.toolTip().section(u'\n', 0, 0), title);
    }
    EXPECT_EQ(item.toolTip(), toolTip(true));
    // The tooltip composed late shows the readings of its sample, even when the
    // reader is gone by then.
    refresh.setSettings(celsius());
    sample(61.0F);
    const QString expected = toolTip(false);
    reader.reset();
    EXPECT_EQ(item.toolTip(), expected);
    EXPECT_TRUE(expected.startsWith(u"61℃\n"_qs));
}

struct TrayNoticeTest : testing::Test
{
    RecordingNotifications notifications;
    int opened = 0;
    TrayNotice notice{[this] { ++opened; }, u"GNOME"_qs};
};

TEST_F(TrayNoticeTest, ANotificationSaysWhatToDoAndOpensTheStatistics)
{
    notice.show();
    EXPECT_TRUE(notifications.events.value(0).startsWith(
        u"notice: Calidra cannot be shown in the panel / "_qs));
    EXPECT_TRUE(notifications.shown.body.contains(u"gnome-shell-extension-appindicator"_qs));
    ASSERT_EQ(notifications.shown.actions.size(), 1);
    EXPECT_EQ(notifications.shown.actions[0].second, u"Open Statistics"_qs);
    notifications.handlers.actionInvoked(u"default"_qs);
    EXPECT_EQ(opened, 0);
    notifications.handlers.actionInvoked(notifications.shown.actions[0].first);
    EXPECT_EQ(opened, 1);
    notice.withdraw();
    EXPECT_EQ(notifications.events.value(1), u"notice closed"_qs);
}

// Without a notification service the notice is a window that waits for
// nobody; withdrawn, it closes, and a late answer opens nothing.
TEST_F(TrayNoticeTest, WithoutANotificationServiceAWindowStandsIn)
{
    notifications.serviceRuns = false;
    notice.show();
    QMessageBox* window = notice.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible() && !window->isModal());
    notice.show();
    EXPECT_EQ(notice.window(), window); // shown again, it stays one window
    qobject_cast<QPushButton*>(window->defaultButton())->click();
    EXPECT_EQ(opened, 1);
    notice.withdraw();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(notice.window(), nullptr);
    notifications.handlers.undeliverable();
    EXPECT_EQ(notice.window(), nullptr);
}

TEST(TrayNoticeAdviceTest, EachDesktopGetsAdviceItCanFollow)
{
    const char* const indicator = "gnome-shell-extension-appindicator";
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"GNOME", indicator}, {"ubuntu:GNOME", indicator}, {"gnome", indicator},
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
