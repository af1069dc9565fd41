// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/SampleHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace calidra {
namespace {

std::vector<float> contents(const SampleHistory& history)
{
    std::vector<float> values;
    for (int index = 0; index < history.size(); ++index) {
        values.push_back(history.at(index));
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
        EXPECT_EQ(history.memoryBytes(), capacity * sizeof(float)) << interval;
        EXPECT_TRUE(history.isEmpty());
    }
}

TEST(SampleHistoryTest, WrapsDroppingTheOldestAndIgnoresValuesThatAreNotFinite)
{
    SampleHistory history(200); // three slots
    for (const float value : {1.0F, std::nanf(""), 2.0F, std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity()}) {
        history.push(value);
    }
    EXPECT_EQ(contents(history), (std::vector<float>{1, 2}));
    for (const float value : {3.0F, 4.0F, 5.0F, 6.0F, 7.0F}) {
        history.push(value);
    }
    EXPECT_EQ(contents(history), (std::vector<float>{5, 6, 7}));
    history.rebuild(300);
    EXPECT_EQ(std::pair(history.size(), history.capacity()), std::pair(0, 2));
    history.push(8);
    history.clear();
    EXPECT_TRUE(history.isEmpty());
    EXPECT_EQ(history.capacity(), 2);
}

} // namespace
} // namespace calidra
