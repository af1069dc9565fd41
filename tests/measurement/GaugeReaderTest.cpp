// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/GaugeReader.h"

#include "ScriptedGauge.h"
#include "measurement/GaugeReaderDelegate.h"
#include "measurement/SampleHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

namespace calidra {
namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

struct CountingDelegate : GaugeReaderDelegate
{
    void gaugeReaderDidUpdate(GaugeReader*) override { ++updates; }
    void gaugeReaderDidMiss(GaugeReader*) override { ++misses; }
    int updates = 0;
    int misses = 0;
};

class GaugeReaderTest : public testing::Test
{
protected:
    // A reader sampling every `interval` seconds whose gauge first reads `first`,
    // which is thrown away, then `seed`.
    void start(float seed, float first = 99, double interval = 2.0)
    {
        gauge->readings = {first, seed};
        reader = GaugeReader::initWithGauge(gauge, interval);
        ASSERT_TRUE(reader);
        reader->setDelegate(&delegate);
    }

    void sample(float reading)
    {
        gauge->readings = {reading};
        reader->_gaugeTimerFired();
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
    sample(60);
    EXPECT_EQ(reader->currentValue(), 60.0f);
    EXPECT_EQ(statistics(), (Statistics{50.03333282470703f, 60, 50, 55, 60, 50, 4}));
    sample(40);
    EXPECT_EQ(statistics(), (Statistics{49.9998893737793f, 60, 40, 50, 60, 40, 6}));
    EXPECT_EQ(delegate.updates, 2);

    start(0);
    sample(50);
    EXPECT_EQ(statistics(), (Statistics{0.16666667f, 50, 50, 25, 50, 50, 4}));
    sample(50);
    EXPECT_EQ(reader->tenMinuteAverage(), 50.0f);
    EXPECT_EQ(reader->overallAverage(), 33.333332f);
    // An interval past ten minutes blends no further than the reading.
    start(50, 50, 1200.0);
    sample(60);
    EXPECT_EQ(reader->tenMinuteAverage(), 60.0f);

    // Readings below the threshold change only the current value; 0.1 as a
    // float is slightly above 0.1, so it counts.
    start(50);
    delegate.updates = 0;
    const Statistics before = statistics();
    sample(0);
    EXPECT_EQ(reader->currentValue(), 0.0f);
    EXPECT_EQ(statistics(), before);
    EXPECT_EQ(delegate.updates, 0);
    sample(0.1f);
    EXPECT_EQ(reader->overallMinimum(), 0.1f);
    EXPECT_EQ(delegate.updates, 1);
}

// After a 70, ten minutes of lower or equal readings; then a 50 finds the maximum expired.
// Had the equal readings renewed it, it would hold 300 more samples.
TEST_F(GaugeReaderTest, AHeldMaximumExpiresToTheAverageAfterTenMinutesEvenWhenEqualled)
{
    for (const auto& [held, expired] : {std::pair{50.0f, 50.0244f}, {70.0f, 62.6369f}}) {
        SCOPED_TRACE(held);
        start(50);
        sample(70);
        for (int i = 0; i < 300; ++i) {
            sample(held);
            ASSERT_EQ(reader->tenMinuteMaximum(), 70.0f) << "sample " << i + 1;
        }
        sample(50);
        EXPECT_EQ(reader->tenMinuteMaximum(), reader->tenMinuteAverage());
        EXPECT_NEAR(reader->tenMinuteMaximum(), expired, 1e-4f);
    }
}

// An interval set while running is held to what the preferences offer, so
// that a tiny one cannot keep the processor busy nor a huge one stop sampling.
// The history restarts for the new interval; the seed, rejected and
// non-finite readings never enter it.
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
        SCOPED_TRACE(asked);
        gauge->readings = {60};
        reader->setFrequency(asked);
        life += used;
        EXPECT_EQ(reader->frequency(), used);
        EXPECT_EQ(reader->overallLife(), life);
        EXPECT_EQ(reader->currentValue(), 60.0f);
    }
    EXPECT_EQ(delegate.updates, 5);

    start(50, 99, 60.0);
    EXPECT_EQ(std::pair(reader->history().size(), reader->history().capacity()), std::pair(0, 10));
    for (const float reading : {60.0F, 0.0F, std::nanf("")}) {
        sample(reading);
    }
    for (int i = 0; i < 10; ++i) {
        sample(61.0F + float(i));
    }
    const SampleHistory& history = reader->history();
    EXPECT_EQ(std::tuple(history.size(), history.at(0), history.at(9)),
              std::tuple(10, 61.0F, 70.0F));
    gauge->readings = {71};
    reader->setFrequency(60);
    EXPECT_EQ(std::tuple(history.size(), history.at(0), history.at(9)),
              std::tuple(10, 62.0F, 71.0F));
    gauge->readings = {72};
    reader->setFrequency(0.5);
    EXPECT_EQ(std::tuple(history.size(), history.capacity(), history.at(0)),
              std::tuple(1, 1200, 72.0F));
}

// A reading that is no finite number (the base gauge's NaN, an infinity) is
// taken as 0: as the seed, as a later sample, it leaves the reader exactly as a
// failed reading does, without relying on NaN failing a comparison.
TEST_F(GaugeReaderTest, ReadingsThatAreNoFiniteNumberCountAsZero)
{
    // All the reader shows after taking `readings` (the first two at its start).
    using Run = std::tuple<Statistics, float, int, int, int>;
    const auto run = [this](std::deque<float> readings) {
        gauge->readings = {readings[0], readings[1]};
        reader = GaugeReader::initWithGauge(gauge, 2.0);
        CountingDelegate counts;
        reader->setDelegate(&counts);
        for (size_t index = 2; index < readings.size(); ++index) {
            sample(readings[index]);
        }
        reader->setDelegate(nullptr);
        return Run{statistics(), reader->currentValue(), reader->history().size(), counts.updates,
                   counts.misses};
    };
    for (const float bad : {std::nanf(""), float(Infinity), -float(Infinity)}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(run({bad, bad, 50, bad}), run({0, 0, 50, 0}));
        EXPECT_EQ(run({99, 40, bad, 45, bad, bad}), run({99, 40, 0, 45, 0, 0}));
        EXPECT_EQ(std::get<1>(run({99, 40, bad})), 0.0F);
    }
}

TEST_F(GaugeReaderTest, CreationNeedsAGaugeAndAPositiveIntervalAndTheTimerStaysInRange)
{
    gauge->readings = {40};
    EXPECT_FALSE(GaugeReader::initWithGauge(nullptr, 2));
    for (const double interval : {0.0, -1.0, std::nan("")}) {
        EXPECT_FALSE(GaugeReader::gaugeReaderWithGauge(gauge, interval)) << interval;
    }
    const auto made = GaugeReader::gaugeReaderWithGauge(gauge, 2);
    ASSERT_TRUE(made);
    made->_gaugeTimerFired(); // no delegate: still sampled
    EXPECT_EQ(made->overallLife(), 4.0);
    constexpr int Longest = std::numeric_limits<int>::max();
    for (const auto& [interval, period] :
         {std::pair{2.0, 2000}, {1e-9, 1}, {0.0004, 1}, {1e12, Longest}, {Infinity, Longest}}) {
        EXPECT_EQ(GaugeReader::timerPeriod(interval), period) << interval;
    }
}

// The reader has no reading after three misses in a row, or after one while its gauge
// finds nothing to read; an accepted sample ends it.
TEST_F(GaugeReaderTest, MissesInARowMeanNoReadingUntilASampleIsAccepted)
{
    start(0);
    EXPECT_FALSE(reader->hasAcceptedReading()); // a failed seed
    sample(0);
    sample(0);
    EXPECT_FALSE(reader->hasNoReading());
    sample(0);
    EXPECT_TRUE(reader->hasNoReading());
    EXPECT_EQ(std::tuple(delegate.misses, delegate.updates), std::tuple(3, 0));
    sample(50);
    EXPECT_EQ(std::tuple(reader->hasNoReading(), reader->hasAcceptedReading(), delegate.updates),
              std::tuple(false, true, 1));

    struct NothingToRead : ScriptedGauge
    {
        bool hasSource() const override { return false; }
    };
    gauge = std::make_shared<NothingToRead>();
    start(0);
    sample(0);
    EXPECT_TRUE(reader->hasNoReading());
}

TEST(SampleHistoryTest, HoldsTenMinutesOfIntervalsWithinOneAndTheMaximumAndWraps)
{
    const std::pair<double, int> cases[] = {
        {0.5, 1200}, {2, 300}, {3, 200},      {7, 86},   {0.1, 1200}, {1e-300, 1200},
        {600, 1},    {1e9, 1}, {Infinity, 1}, {0, 1200}, {-2, 1200},  {std::nan(""), 1200},
    };
    for (const auto& [interval, capacity] : cases) {
        EXPECT_EQ(SampleHistory(interval).capacity(), capacity) << interval;
    }
    using Contents = std::vector<std::pair<float, qint64>>;
    SampleHistory history(200); // three slots
    qint64 time = 1000;
    for (const float value : {1.0F, std::nanf(""), 2.0F, float(Infinity), -float(Infinity)}) {
        history.push(value, time += 200000);
    }
    const auto contents = [&history] {
        Contents values;
        for (int index = 0; index < history.size(); ++index) {
            values.emplace_back(history.at(index), history.timeAt(index));
        }
        return values;
    };
    EXPECT_EQ(contents(), (Contents{{1, 201000}, {2, 601000}}));
    for (const float value : {3.0F, 4.0F, 5.0F, 6.0F, 7.0F}) {
        history.push(value, time += 200000);
    }
    EXPECT_EQ(contents(), (Contents{{5, 1601000}, {6, 1801000}, {7, 2001000}}));
    history.rebuild(300);
    EXPECT_EQ(std::tuple(history.size(), history.capacity(), history.interval()),
              std::tuple(0, 2, 300.0));
}

} // namespace
} // namespace calidra
