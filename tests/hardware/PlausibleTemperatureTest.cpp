// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/PlausibleTemperature.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace calidra {
namespace {

TEST(PlausibleTemperatureTest, OnlyTemperaturesAboveZeroUpTo200DegreesArePlausible)
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, bool> rows[] = {
        {0.001, true},     {45.5, true},         {200.0, true},
        {0.0, false},      {-0.0, false},        {-40.0, false},
        {200.001, false},  {2147483.647, false}, {3.4e38, false},
        {Infinity, false}, {-Infinity, false},   {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const auto& [celsius, plausible] : rows) {
        EXPECT_EQ(PlausibleTemperature::contains(celsius), plausible) << celsius;
    }
}

} // namespace
} // namespace calidra
