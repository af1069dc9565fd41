#include "measurement/GaugeReader.h"

#include "measurement/Gauge.h"
#include "measurement/GaugeReaderDelegate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>

namespace calidra {
namespace {

// Gives the readings it was handed, in order, then repeats the last one.
class ScriptedGauge : public Gauge
{
public:
    explicit ScriptedGauge(std::deque<float> readings) : m_readings(std::move(readings)) {}

    void then(float reading) { m_readings.push_back(reading); }

    float gauge() override
    {
        if (!m_readings.empty()) {
            m_last = m_readings.front();
            m_readings.pop_front();
        }
        return m_last;
    }

private:
    std::deque<float> m_readings;
    float m_last = 0;
};

class CountingDelegate : public GaugeReaderDelegate
{
public:
    void gaugeReaderDidUpdate(GaugeReader*) override { ++updates; }

    int updates = 0;
};

class GaugeReaderTest : public testing::Test
{
protected:
    // A reader over a gauge whose first (discarded) and second (seed) readings
    // are `seed`, sampling every 2 seconds.
    void start(float seed, double interval = 2.0)
    {
        gauge = std::make_shared<ScriptedGauge>(std::deque<float>{seed, seed});
        reader = GaugeReader::initWithGauge(gauge, interval);
        ASSERT_TRUE(reader);
        reader->setDelegate(&delegate);
    }

    void sample(float reading)
    {
        gauge->then(reading);
        reader->_gaugeTimerFired();
    }

    std::shared_ptr<ScriptedGauge> gauge;
    std::unique_ptr<GaugeReader> reader;
    CountingDelegate delegate;
};

TEST_F(GaugeReaderTest, WorkedExampleRiseThenFall)
{
    start(50);
    sample(60);
    EXPECT_EQ(reader->currentValue(), 60.0f);
    EXPECT_EQ(reader->tenMinuteAverage(), 50.03333282470703f);
    EXPECT_EQ(reader->tenMinuteMaximum(), 60.0f);
    EXPECT_EQ(reader->tenMinuteMinimum(), 50.0f);
    EXPECT_EQ(reader->overallLife(), 4.0);
    EXPECT_EQ(reader->overallAverage(), 55.0f);
    EXPECT_EQ(reader->overallMaximum(), 60.0f);
    EXPECT_EQ(reader->overallMinimum(), 50.0f);

    sample(40);
    EXPECT_EQ(reader->tenMinuteAverage(), 49.9998893737793f);
    EXPECT_EQ(reader->tenMinuteMaximum(), 60.0f);
    EXPECT_EQ(reader->tenMinuteMinimum(), 40.0f);
    EXPECT_EQ(reader->overallLife(), 6.0);
    EXPECT_EQ(reader->overallAverage(), 50.0f);
    EXPECT_EQ(reader->overallMaximum(), 60.0f);
    EXPECT_EQ(reader->overallMinimum(), 40.0f);
    EXPECT_EQ(delegate.updates, 2);
}

TEST_F(GaugeReaderTest, ReadingsBelowTheThresholdChangeOnlyTheCurrentValue)
{
    start(50);
    sample(0);
    EXPECT_EQ(reader->currentValue(), 0.0f);
    EXPECT_EQ(reader->tenMinuteAverage(), 50.0f);
    EXPECT_EQ(reader->tenMinuteMinimum(), 50.0f);
    EXPECT_EQ(reader->overallAverage(), 50.0f);
    EXPECT_EQ(reader->overallMinimum(), 50.0f);
    EXPECT_EQ(reader->overallLife(), 2.0);
    EXPECT_EQ(delegate.updates, 0);

    // 0.1 as a float is slightly above 0.1, so it counts.
    sample(0.1f);
    EXPECT_EQ(reader->overallMinimum(), 0.1f);
    EXPECT_EQ(delegate.updates, 1);
}

TEST_F(GaugeReaderTest, AHeldMaximumExpiresToTheAverageAfterTenMinutes)
{
    start(50);
    sample(70);
    for (int i = 0; i < 300; ++i) {
        sample(50);
        ASSERT_EQ(reader->tenMinuteMaximum(), 70.0f) << "sample " << i + 1;
    }
    sample(50);
    EXPECT_EQ(reader->tenMinuteMaximum(), reader->tenMinuteAverage());
    EXPECT_NEAR(reader->tenMinuteMaximum(), 50.0244f, 1e-4f);
}

TEST_F(GaugeReaderTest, AnEqualReadingAgesTheHeldMaximumInsteadOfRenewingIt)
{
    start(50);
    sample(70);
    for (int i = 0; i < 300; ++i) {
        sample(70);
    }
    // Had the equal readings renewed it, the maximum would hold 300 more samples.
    sample(50);
    EXPECT_EQ(reader->tenMinuteMaximum(), reader->tenMinuteAverage());
    EXPECT_LT(reader->tenMinuteMaximum(), 70.0f);
}

TEST_F(GaugeReaderTest, AFailedSeedRecovers)
{
    start(0);
    sample(50);
    EXPECT_EQ(reader->tenMinuteAverage(), 0.16666667f);
    EXPECT_EQ(reader->tenMinuteMaximum(), 50.0f);
    EXPECT_EQ(reader->tenMinuteMinimum(), 50.0f);
    EXPECT_EQ(reader->overallAverage(), 25.0f);
    EXPECT_EQ(reader->overallMinimum(), 50.0f);
    EXPECT_EQ(reader->overallLife(), 4.0);
    sample(50);
    EXPECT_EQ(reader->tenMinuteAverage(), 50.0f);
    EXPECT_EQ(reader->overallAverage(), 33.333332f);
}

TEST_F(GaugeReaderTest, RetimingSamplesAtOnceCountingTheNewInterval)
{
    start(50);
    for (const double ignored : {0.0, -1.0, std::nan("")}) {
        reader->setFrequency(ignored);
        EXPECT_EQ(reader->frequency(), 2.0);
    }
    EXPECT_EQ(delegate.updates, 0);

    gauge->then(60);
    reader->setFrequency(5);
    EXPECT_EQ(reader->frequency(), 5.0);
    EXPECT_EQ(reader->overallLife(), 7.0);
    EXPECT_EQ(reader->currentValue(), 60.0f);
    EXPECT_EQ(delegate.updates, 1);
}

TEST(GaugeReaderCreation, NeedsAGaugeAndAPositiveInterval)
{
    const auto gauge = std::make_shared<ScriptedGauge>(std::deque<float>{40});
    EXPECT_FALSE(GaugeReader::initWithGauge(nullptr, 2));
    for (const double interval : {0.0, -1.0, std::nan("")}) {
        EXPECT_FALSE(GaugeReader::gaugeReaderWithGauge(gauge, interval)) << interval;
    }
    const auto reader = GaugeReader::gaugeReaderWithGauge(gauge, 2);
    ASSERT_TRUE(reader);
    reader->_gaugeTimerFired(); // no delegate: still sampled
    EXPECT_EQ(reader->overallLife(), 4.0);
}

TEST(GaugeReaderTimer, PeriodStaysWithinWhatATimerCanHold)
{
    EXPECT_EQ(GaugeReader::timerPeriod(2.0), 2000);
    EXPECT_EQ(GaugeReader::timerPeriod(1e-9), 1);
    EXPECT_EQ(GaugeReader::timerPeriod(0.0004), 1);
    EXPECT_EQ(GaugeReader::timerPeriod(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(GaugeReader::timerPeriod(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int>::max());
}

} // namespace
} // namespace calidra
