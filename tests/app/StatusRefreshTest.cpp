// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusRefresh.h"

#include "app/StatusPresenter.h"
#include "measurement/Gauge.h"
#include "measurement/GaugeReader.h"
#include "platform/tray/StatusItem.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace calidra {
namespace {

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

    QStringList take() { return std::exchange(heard, {}); }

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
             take();
             refresh.invalidate();
             sample(53.0F);
         }, {u"title"_qs}, u"127℉"_qs},
    };
    // clang-format on
    for (const auto& [name, action, announced, title] : steps) {
        SCOPED_TRACE(name);
        action();
        EXPECT_EQ(take(), announced);
        EXPECT_EQ(item.title(), title);
        EXPECT_EQ(item.toolTip().section(u'\n', 0, 0), title);
    }
    EXPECT_EQ(item.toolTip(),
              presenter.toolTip(StatusReadings::of(reader.get(), nullptr, nullptr), true));
}

// The tooltip composed late shows the readings of its sample, even when the
// reader is gone by then.
TEST_F(StatusRefreshTest, ATooltipComposedLateShowsItsSampleAfterTheReaderIsGone)
{
    sample(61.0F);
    const QString expected =
        presenter.toolTip(StatusReadings::of(reader.get(), nullptr, nullptr), false);
    reader.reset();
    EXPECT_EQ(item.toolTip(), expected);
    EXPECT_TRUE(expected.startsWith(u"61℃\n"_qs));
}

} // namespace
} // namespace calidra
