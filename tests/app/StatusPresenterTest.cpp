// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusPresenter.h"

#include "FixtureBundle.h"
#include "QtPrinters.h"
#include "ScriptedGauge.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaultsSetup.h"
#include "measurement/GaugeReader.h"
#include "platform/MenuItem.h"

#include <QFile>
#include <gtest/gtest.h>

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
        bundle.addResource(u"Status Icon.svg"_qs, "<svg xmlns='http://www.w3.org/2000/svg'/>");
    }

    Title title(bool withTemperature, bool withFrequency) const
    {
        const StatusTitle composed =
            StatusPresenter().composeTitle(defaults, withTemperature ? temperature.get() : nullptr,
                                           withFrequency ? frequency.get() : nullptr);
        return {composed.text, composed.font.bold(), composed.font.pointSizeF()};
    }

    // Built in this order and torn down in reverse: each member uses the ones
    // above it, and the process-wide ones stay current until those below are gone.
    SettingsFile settings;
    UserDefaults& defaults = settings.defaults;
    FixtureBundle bundle;
    std::unique_ptr<GaugeReader> temperature = GaugeReader::initWithGauge(fixedGauge(52.4F), 2.0);
    std::unique_ptr<GaugeReader> frequency = GaugeReader::initWithGauge(fixedGauge(2000.0F), 2.25);
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
}

TEST_F(StatusPresenterTest, ValuesGuideAndToolTipFollowTheReadersAndTheUnit)
{
    const StatusPresenter presenter;
    defaults.setValue<Settings::ArrangeVertically>(true);
    defaults.setValue<Settings::GaugeFrequency>(true);
    const StatusTitle both = presenter.composeTitle(defaults, temperature.get(), frequency.get());
    EXPECT_EQ(both.values, (QStringList{u"52℃"_qs, u"2.00 GHz"_qs}));
    // The guide holds the widest values: three digits, and megahertz.
    EXPECT_EQ(both.labelGuide, u"188℃ 888.88 MHz"_qs);
    defaults.setValue<Settings::DisplayUnit>(Settings::DisplayUnit::fahrenheit);
    const StatusTitle fahrenheit = presenter.composeTitle(defaults, temperature.get(), nullptr);
    EXPECT_EQ(fahrenheit.values, QStringList{u"126℉"_qs});
    EXPECT_EQ(fahrenheit.labelGuide, u"370℉"_qs);
    EXPECT_TRUE(presenter.composeTitle(defaults, nullptr, nullptr).values.isEmpty());
    EXPECT_TRUE(presenter.initialTitle(defaults).values.isEmpty());

    EXPECT_EQ(presenter.toolTip(temperature.get(), frequency.get()),
              u"126℉ 2.00 GHz\nLast ten minutes\n126.32℉ 2.00 GHz Minimum\n"
              "126.32℉ 2.00 GHz Average\n126.32℉ 2.00 GHz Maximum"_qs);
    EXPECT_EQ(presenter.toolTip(nullptr, nullptr), QString());
}

TEST_F(StatusPresenterTest, InitialTitleAndTheIconFollowShowIcon)
{
    const StatusPresenter presenter;
    StatusTitle initial = presenter.initialTitle(defaults);
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
    const StatusPresenter presenter;
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
        EXPECT_EQ(presenter.validateMenuItem(item, withTemperature ? temperature.get() : nullptr,
                                             withFrequency ? frequency.get() : nullptr),
                  enabled);
        EXPECT_EQ(item.title, text);
        EXPECT_EQ(item.indentationLevel, level);
    }
}

} // namespace
} // namespace calidra
