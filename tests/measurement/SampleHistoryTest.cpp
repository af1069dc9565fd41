// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/SampleHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

namespace calidra {
namespace {

// The readings, oldest first, each with its time.
std::vector<std::pair<float, qint64>> contents(const SampleHistory& history)
{
    std::vector<std::pair<float, qint64>> values;
    for (int index = 0; index < history.size(); ++index) {
        values.emplace_back(history.at(index), history.timeAt(index));
    }
    return values;
}

TEST(SampleHistoryTest, HoldsTenMinutesOfIntervalsWithinOneAndTheMaximum)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const struct
    {
        double interval;
        int capacity;
    } cases[] = {
        {0.5, 1200}, {2, 300}, {3, 200},      {7, 86},   {0.1, 1200}, {1e-300, 1200},
        {600, 1},    {1e9, 1}, {infinity, 1}, {0, 1200}, {-2, 1200},  {std::nan(""), 1200},
    };
    for (const auto& [interval, capacity] : cases) {
        EXPECT_EQ(SampleHistory::capacityForInterval(interval), capacity) << interval;
        const SampleHistory history(interval);
        EXPECT_EQ(history.capacity(), capacity) << interval;
        EXPECT_EQ(history.memoryBytes(), capacity * (sizeof(float) + sizeof(qint64))) << interval;
        EXPECT_TRUE(history.isEmpty());
    }
}

TEST(SampleHistoryTest, WrapsDroppingTheOldestAndIgnoresValuesThatAreNotFinite)
{
    using Contents = std::vector<std::pair<float, qint64>>;
    SampleHistory history(200); // three slots
    qint64 time = 1000;
    for (const float value : {1.0F, std::nanf(""), 2.0F, std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity()}) {
        history.push(value, time += 200000);
    }
    EXPECT_EQ(contents(history), (Contents{{1, 201000}, {2, 601000}}));
    for (const float value : {3.0F, 4.0F, 5.0F, 6.0F, 7.0F}) {
        history.push(value, time += 200000);
    }
    EXPECT_EQ(contents(history), (Contents{{5, 1601000}, {6, 1801000}, {7, 2001000}}));
    history.rebuild(300);
    EXPECT_EQ(std::tuple(history.size(), history.capacity(), history.interval()),
              std::tuple(0, 2, 300.0));
    history.push(8, time);
    history.clear();
    EXPECT_TRUE(history.isEmpty());
    EXPECT_EQ(history.capacity(), 2);
}

} // namespace
} // namespace calidra
