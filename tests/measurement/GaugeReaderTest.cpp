// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/GaugeReader.h"

#include "ScriptedGauge.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"
#include "measurement/GaugeReaderDelegate.h"
#include "measurement/SampleHistory.h"
#include "measurement/TemperatureAlarm.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct CountingDelegate : GaugeReaderDelegate
{
    void gaugeReaderDidUpdate(GaugeReader*) override { ++updates; }
    void gaugeReaderDidMiss(GaugeReader*) override { ++misses; }
    int updates = 0, misses = 0;
};

class GaugeReaderTest : public testing::Test
{
protected:
    // A reader every `interval` seconds whose gauge reads `first`, thrown away, then `seed`.
    void start(float seed, float first = 99, double interval = 2.0)
    {
        gauge->readings = {first, seed};
        reader = GaugeReader::initWithGauge(gauge, interval);
        ASSERT_TRUE(reader);
        reader->setDelegate(&delegate);
    }

    void sample(std::initializer_list<float> readings)
    {
        for (const float reading : readings) {
            gauge->readings = {reading};
            reader->_gaugeTimerFired();
        }
    }

    using Statistics = std::tuple<float, float, float, float, float, float, double>;
    Statistics statistics() const
    {
        return {reader->tenMinuteAverage(), reader->tenMinuteMaximum(), reader->tenMinuteMinimum(),
                reader->overallAverage(),   reader->overallMaximum(),   reader->overallMinimum(),
                reader->overallLife()};
    }

    std::shared_ptr<ScriptedGauge> gauge = std::make_shared<ScriptedGauge>();
    std::unique_ptr<GaugeReader> reader;
    CountingDelegate delegate;
};

TEST_F(GaugeReaderTest, WorkedExampleRiseThenFallAndAFailedSeedRecovers)
{
    start(50);
    sample({60});
    EXPECT_EQ(reader->currentValue(), 60.0f);
    EXPECT_EQ(statistics(), (Statistics{50.03333282470703f, 60, 50, 55, 60, 50, 4}));
    sample({40});
    EXPECT_EQ(statistics(), (Statistics{49.9998893737793f, 60, 40, 50, 60, 40, 6}));
    EXPECT_EQ(delegate.updates, 2);
    start(0);
    sample({50});
    EXPECT_EQ(statistics(), (Statistics{0.16666667f, 50, 50, 25, 50, 50, 4}));
    sample({50});
    EXPECT_EQ(std::pair(reader->tenMinuteAverage(), reader->overallAverage()),
              std::pair(50.0f, 33.333332f));
    start(50, 50, 1200.0); // an interval past ten minutes blends no further than the reading
    sample({60});
    EXPECT_EQ(reader->tenMinuteAverage(), 60.0f);
    // Readings below the threshold change only the current value; 0.1 as a
    // float is slightly above 0.1, so it counts.
    start(50);
    delegate.updates = 0;
    const Statistics before = statistics();
    sample({0});
    EXPECT_EQ(std::tuple(reader->currentValue(), statistics(), delegate.updates),
              std::tuple(0.0f, before, 0));
    sample({0.1f});
    EXPECT_EQ(std::pair(reader->overallMinimum(), delegate.updates), std::pair(0.1f, 1));
}

// Had the equal readings renewed the maximum, it would hold 300 more samples.
TEST_F(GaugeReaderTest, AHeldMaximumExpiresToTheAverageAfterTenMinutesEvenWhenEqualled)
{
    for (const auto& [held, expired] : {std::pair{50.0f, 50.0244f}, {70.0f, 62.6369f}}) {
        start(50);
        sample({70});
        for (int i = 0; i < 300; ++i) {
            sample({held});
            ASSERT_EQ(reader->tenMinuteMaximum(), 70.0f) << held << " sample " << i + 1;
        }
        sample({50});
        EXPECT_EQ(reader->tenMinuteMaximum(), reader->tenMinuteAverage());
        EXPECT_NEAR(reader->tenMinuteMaximum(), expired, 1e-4f);
    }
}

// A tiny interval must not keep the processor busy nor a huge one stop sampling. The
// seed, rejected and non-finite readings never enter the history.
TEST_F(GaugeReaderTest, RetimingSamplesAtOnceWithinTheOfferedRangeAndRestartsTheHistory)
{
    start(50);
    for (const double ignored : {0.0, -0.0, -1.0, std::nan("")}) {
        reader->setFrequency(ignored);
        EXPECT_EQ(reader->frequency(), 2.0);
    }
    EXPECT_EQ(delegate.updates, 0);
    double life = 2;
    for (const auto& [asked, used] :
         {std::pair{5.0, 5.0}, {0.0001, 0.5}, {1e-300, 0.5}, {1e308, 60.0}, {Infinity, 60.0}}) {
        gauge->readings = {60};
        reader->setFrequency(asked);
        life += used;
        EXPECT_EQ(std::tuple(reader->frequency(), reader->overallLife(), reader->currentValue()),
                  std::tuple(used, life, 60.0f))
            << asked;
    }
    EXPECT_EQ(delegate.updates, 5);
    start(50, 99, 60.0);
    const SampleHistory& history = reader->history();
    const auto held = [&history](int last) {
        return std::tuple(history.size(), history.capacity(), history.at(0), history.at(last));
    };
    EXPECT_EQ(std::pair(history.size(), history.capacity()), std::pair(0, 10));
    sample({60, 0, NaN, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70});
    EXPECT_EQ(held(9), std::tuple(10, 10, 61.0F, 70.0F));
    gauge->readings = {71};
    reader->setFrequency(60);
    EXPECT_EQ(held(9), std::tuple(10, 10, 62.0F, 71.0F));
    gauge->readings = {72};
    reader->setFrequency(0.5);
    EXPECT_EQ(held(0), std::tuple(1, 1200, 72.0F, 72.0F));
}

// The base gauge's NaN or an infinity leaves the reader exactly as a failed reading does.
TEST_F(GaugeReaderTest, ReadingsThatAreNoFiniteNumberCountAsZero)
{
    const auto run = [this](std::initializer_list<float> seed, std::initializer_list<float> later) {
        gauge->readings = seed;
        reader = GaugeReader::initWithGauge(gauge, 2.0);
        CountingDelegate counts;
        reader->setDelegate(&counts);
        sample(later);
        reader->setDelegate(nullptr);
        return std::tuple(statistics(), reader->currentValue(), reader->history().size(),
                          counts.updates, counts.misses);
    };
    for (const float bad : {NaN, float(Infinity), -float(Infinity)}) {
        EXPECT_EQ(run({bad, bad}, {50, bad}), run({0, 0}, {50, 0})) << bad;
        EXPECT_EQ(run({99, 40}, {bad, 45, bad, bad}), run({99, 40}, {0, 45, 0, 0})) << bad;
        EXPECT_EQ(std::get<1>(run({99, 40}, {bad})), 0.0F) << bad;
    }
}

TEST_F(GaugeReaderTest, CreationNeedsAGaugeAndAPositiveIntervalAndMissesInARowMeanNoReading)
{
    gauge->readings = {40};
    EXPECT_FALSE(GaugeReader::initWithGauge(nullptr, 2));
    for (const double interval : {0.0, -1.0, std::nan("")})
        EXPECT_FALSE(GaugeReader::gaugeReaderWithGauge(gauge, interval)) << interval;
    const auto made = GaugeReader::gaugeReaderWithGauge(gauge, 2);
    ASSERT_TRUE(made);
    made->_gaugeTimerFired(); // no delegate: still sampled
    EXPECT_EQ(made->overallLife(), 4.0);
    constexpr int Longest = std::numeric_limits<int>::max();
    for (const auto& [interval, period] :
         {std::pair{2.0, 2000}, {1e-9, 1}, {0.0004, 1}, {1e12, Longest}, {Infinity, Longest}})
        EXPECT_EQ(GaugeReader::timerPeriod(interval), period) << interval;

    start(0);
    EXPECT_FALSE(reader->hasAcceptedReading()); // a failed seed
    sample({0, 0});
    EXPECT_FALSE(reader->hasNoReading());
    sample({0});
    EXPECT_EQ(std::tuple(reader->hasNoReading(), delegate.misses, delegate.updates),
              std::tuple(true, 3, 0));
    sample({50});
    EXPECT_EQ(std::tuple(reader->hasNoReading(), reader->hasAcceptedReading(), delegate.updates),
              std::tuple(false, true, 1));
    struct NothingToRead : ScriptedGauge
    {
        bool hasSource() const override { return false; }
    };
    gauge = std::make_shared<NothingToRead>();
    start(0);
    sample({0});
    EXPECT_TRUE(reader->hasNoReading());
}

TEST(SampleHistoryTest, HoldsTenMinutesOfIntervalsWithinOneAndTheMaximumAndWraps)
{
    // clang-format off
    const std::pair<double, int> cases[] = {{0.5, 1200}, {2, 300}, {3, 200}, {7, 86}, {0.1, 1200}, {1e-300, 1200},
        {600, 1}, {1e9, 1}, {Infinity, 1}, {0, 1200}, {-2, 1200}, {std::nan(""), 1200}};
    // clang-format on
    for (const auto& [interval, capacity] : cases)
        EXPECT_EQ(SampleHistory(interval).capacity(), capacity) << interval;
    using Contents = std::vector<std::pair<float, qint64>>;
    SampleHistory history(200); // three slots
    qint64 time = 1000;
    const auto push = [&](std::initializer_list<float> values) {
        for (const float value : values)
            history.push(value, time += 200000);
        Contents held;
        for (int index = 0; index < history.size(); ++index)
            held.emplace_back(history.at(index), history.timeAt(index));
        return held;
    };
    EXPECT_EQ(push({1, NaN, 2, float(Infinity), -float(Infinity)}),
              (Contents{{1, 201000}, {2, 601000}}));
    EXPECT_EQ(push({3, 4, 5, 6, 7}), (Contents{{5, 1601000}, {6, 1801000}, {7, 2001000}}));
    history.rebuild(300);
    EXPECT_EQ(std::tuple(history.size(), history.capacity(), history.interval()),
              std::tuple(0, 2, 300.0));
}

// Threshold 90; runs of (celsius, count, interval), the samples it fires with, active after,
// enabled.
TEST(TemperatureAlarmTest, FiresOnceAndOnlyAgainAfterAMinuteWellBelowAndEndsWhenSwitchedOff)
{
    struct Samples
    {
        float celsius;
        int count;
        double interval = 2.0;
    };
    using Script = std::tuple<const char*, std::vector<Samples>, std::vector<int>, bool, bool>;
    const float Inf = float(Infinity);
    // clang-format off
    const Script scripts[] = {
        {"two samples at the threshold fire", {{90, 2}}, {1}, true, true},
        {"staying above does not repeat", {{95, 6}}, {1}, true, true},
        {"one at the threshold then one below does not", {{90, 1}, {89.9F, 1}, {90, 1}}, {}, false, true},
        {"a minute at five below recovers", {{90, 2}, {85, 30}}, {1}, false, true},
        {"after recovery it fires again", {{90, 2}, {85, 30}, {91, 2}}, {1, 33}, true, true},
        {"less than a minute does not recover", {{90, 2}, {85, 29}, {91, 2}}, {1}, true, true},
        {"a sample above five below restarts the minute",
         {{90, 2}, {85, 29}, {85.5F, 1}, {85, 29}, {91, 2}}, {1}, true, true},
        {"a minute counted in tenths of a second", {{90, 2, 0.1}, {80, 600, 0.1}}, {1}, false, true},
        {"a longer interval counts as more time", {{90, 2}, {70, 1, 60.0}}, {1}, false, true},
        {"disabled never fires", {{100, 10}}, {}, false, false},
        {"a temperature that is no number is ignored", {{90, 1}, {NaN, 1}, {90, 1}}, {2}, true, true},
        {"an infinite one too", {{90, 1}, {Inf, 1}, {-Inf, 1}}, {}, false, true},
        {"samples without a positive interval are ignored",
         {{90, 1}, {90, 1, 0.0}, {90, 1, -2.0}, {90, 1, double(NaN)}}, {}, false, true},
    };
    // clang-format on
    for (const auto& [name, runs, expected, activeAfter, enabled] : scripts) {
        TemperatureAlarm alarm;
        alarm.setEnabled(enabled);
        std::vector<int> fired;
        int index = 0;
        for (const Samples& run : runs)
            for (int i = 0; i < run.count; ++i, ++index)
                if (alarm.sample(run.celsius, run.interval))
                    fired.push_back(index);
        EXPECT_EQ(std::pair(fired, alarm.isActive()), std::pair(expected, activeAfter)) << name;
    }

    // A new threshold ends it too (TemperatureControllerTest); settings rules: SettingsTest.
    TemperatureAlarm alarm;
    alarm.setEnabled(true);
    alarm.sample(95, 2);
    ASSERT_TRUE(alarm.sample(95, 2));
    alarm.setThreshold(90);
    EXPECT_TRUE(alarm.isActive());
    alarm.setEnabled(false);
    alarm.setEnabled(true);
    EXPECT_FALSE(alarm.isActive());
    SettingsFile settings("alarmEnabled=true\nalarmTemperature=500");
    settings.defaults.registerDefaults(Settings::registeredFallbacks());
    TemperatureAlarm configured;
    configured.configure(settings.defaults);
    EXPECT_EQ(std::tuple(configured.isEnabled(), configured.threshold()), std::tuple(true, 110));
}

} // namespace
} // namespace calidra
