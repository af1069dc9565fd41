// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/TemperatureAlarm.h"

#include "SettingsFile.h"
#include "defaults/Settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace calidra {
namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Infinity = std::numeric_limits<float>::infinity();

// Runs of `count` samples of `celsius`, each counting `interval` seconds.
struct Samples
{
    float celsius;
    int count;
    double interval = 2.0;
};

// The threshold is 90: recovery means 85 or below for 60 counted seconds.
TEST(TemperatureAlarmTest, FiresOnceAndOnlyAgainAfterAMinuteWellBelow)
{
    // The runs, the indices of the samples the alarm fires with, whether it is
    // active after the last, and whether it is enabled.
    using Script = std::tuple<const char*, std::vector<Samples>, std::vector<int>, bool, bool>;
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
        {"an infinite one too", {{90, 1}, {Infinity, 1}, {-Infinity, 1}}, {}, false, true},
        {"samples without a positive interval are ignored",
         {{90, 1}, {90, 1, 0.0}, {90, 1, -2.0}, {90, 1, double(NaN)}}, {}, false, true},
    };
    // clang-format on
    for (const auto& [name, runs, expected, activeAfter, enabled] : scripts) {
        TemperatureAlarm alarm;
        alarm.setEnabled(enabled);
        std::vector<int> fired;
        int index = 0;
        for (const Samples& run : runs) {
            for (int i = 0; i < run.count; ++i, ++index) {
                if (alarm.sample(run.celsius, run.interval)) {
                    fired.push_back(index);
                }
            }
        }
        EXPECT_EQ(fired, expected) << name;
        EXPECT_EQ(alarm.isActive(), activeAfter) << name;
    }
}

// A new threshold ends it too (TemperatureControllerTest).
TEST(TemperatureAlarmTest, SwitchingOffEndsTheAlarmAndTheSameThresholdDoesNot)
{
    TemperatureAlarm alarm;
    alarm.setEnabled(true);
    alarm.sample(95, 2);
    ASSERT_TRUE(alarm.sample(95, 2));
    alarm.setThreshold(90);
    EXPECT_TRUE(alarm.isActive());
    alarm.setEnabled(false);
    alarm.setEnabled(true);
    EXPECT_FALSE(alarm.isActive());
}

// The stored settings reach the alarm through their rules (SettingsTest).
TEST(TemperatureAlarmTest, ConfigureReadsTheSettingsThroughTheirRules)
{
    SettingsFile settings("alarmEnabled=true\nalarmTemperature=500");
    settings.defaults.registerDefaults(Settings::registeredFallbacks());
    TemperatureAlarm alarm;
    alarm.configure(settings.defaults);
    EXPECT_TRUE(alarm.isEnabled());
    EXPECT_EQ(alarm.threshold(), 110);
}

} // namespace
} // namespace calidra
