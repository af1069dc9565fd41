// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaultsSetup.h"

#include "FixtureTree.h"
#include "QtPrinters.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace calidra {
namespace {

// The text of a settings file holding lines after the setup ran over it; QSettings sorts keys.
QString afterSetup(const QByteArray& lines)
{
    const SettingsFile settings(lines);
    _initializeUserDefaults();
    return QString::fromUtf8(FixtureTree::readFile(settings.path));
}

// The fallbacks' values are SettingsTest's.
TEST(UserDefaultsSetup, SetsUpTheNewestStoreWithItsFallbacksOrGivesNullWithoutOne)
{
    EXPECT_EQ(_initializeUserDefaults(), nullptr);
    SettingsFile settings;
    ASSERT_EQ(_initializeUserDefaults(), &settings.defaults);
    EXPECT_EQ(settings.defaults.objectForKey(Settings::ShowIcon::name), QVariant(false));
    EXPECT_FALSE(
        settings.defaults.objectForKey(Settings::SUScheduledCheckInterval::name).isValid());
}

TEST(UserDefaultsSetup, MigratesTheLegacyUnitAndDerivesTheUpdaterIntervalOnDisk)
{
    // clang-format off
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"NoFallbackIsWrittenAndOtherSettingsStay", "fontSize=15\n", "[General]\nfontSize=15\n"},
        {"OutdatedFileWrittenByHand", "useFahrenheit=true\nSUCheckAtStartup=true\nSUScheduledCheckInterval=86400\n",
         "[General]\nSUCheckAtStartup=true\nSUScheduledCheckInterval=302400\ndisplayUnit=2\n"},
        {"LegacyCelsiusOverwritesTheUnitAndCheckOffDropsTheInterval",
         "displayUnit=2\nuseFahrenheit=false\nSUCheckAtStartup=false\nSUScheduledCheckInterval=1\n",
         "[General]\nSUCheckAtStartup=false\ndisplayUnit=1\n"},
        {"LegacyZeroCountsAsStoredAndNoCheckDropsTheInterval", "useFahrenheit=0\nSUScheduledCheckInterval=302400\n",
         "[General]\ndisplayUnit=1\n"},
    };
    // clang-format on
    for (const auto& [name, lines, after] : cases)
        EXPECT_EQ(afterSetup(lines), QString::fromUtf8(after)) << name;
}

// A stored interval outside what the preferences offer, or both gauges off,
// would start no reader, or one that samples without pause or never.
TEST(UserDefaultsSetup, BringsTheIntervalIntoTheOfferedRangeAndAGaugeBackOn)
{
    // clang-format off
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"ZeroGivesTheFallback", "frequency=0\n", ""},
        {"NegativeZeroGivesTheFallback", "frequency=-0.0\n", ""},
        {"TooSmallForAFloatGivesTheFallback", "frequency=1e-300\n", ""},
        {"TinyBecomesTheShortestOffered", "frequency=0.0001\n", "frequency=0.5\n"},
        {"HugeBecomesTheLongestOffered", "frequency=1e308\n", "frequency=60\n"},
        {"BetweenTheOfferedStays", "frequency=7.5\n", "frequency=7.5\n"},
        {"BothGaugesOffTurnsTheTemperatureOn", "gaugeFrequency=false\ngaugeTemperature=false\n",
         "gaugeFrequency=false\ngaugeTemperature=true\n"},
        {"TemperatureOffAloneTurnsItOn", "gaugeTemperature=0\n", "gaugeTemperature=true\n"},
        {"FrequencyAloneStays", "gaugeFrequency=true\ngaugeTemperature=false\n", "gaugeFrequency=true\ngaugeTemperature=false\n"},
    };
    // clang-format on
    for (const auto& [name, lines, after] : cases)
        EXPECT_EQ(afterSetup("fontSize=15\n" + lines),
                  u"[General]\nfontSize=15\n"_qs + QString::fromUtf8(after))
            << name;
}

} // namespace
} // namespace calidra
