// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaultsSetup.h"

#include "FixtureTree.h"
#include "LogRecorder.h"
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

TEST(UserDefaultsSetup, SetsUpTheNewestStoreWithTheSevenFallbacksOrGivesNullWithoutOne)
{
    EXPECT_EQ(_initializeUserDefaults(), nullptr);
    SettingsFile settings;
    UserDefaults& defaults = settings.defaults;
    ASSERT_EQ(_initializeUserDefaults(), &defaults);
    EXPECT_EQ(defaults.integerForKey(Settings::DisplayUnit::name), 0);
    EXPECT_EQ(defaults.floatForKey(Settings::Frequency::name), 2.0f);
    EXPECT_EQ(defaults.floatForKey(Settings::FontSize::name), 13.0f);
    EXPECT_TRUE(defaults.boolForKey(Settings::GaugeTemperature::name));
    for (const QString& key : {Settings::ShowIcon::name, Settings::GaugeFrequency::name,
                               Settings::ArrangeVertically::name})
        EXPECT_EQ(defaults.objectForKey(key), QVariant(false)) << key.toStdString();
    EXPECT_FALSE(defaults.objectForKey(Settings::SUScheduledCheckInterval::name).isValid());
}

TEST(UserDefaultsSetup, MigratesTheLegacyUnitAndDerivesTheUpdaterIntervalOnDisk)
{
    using Case = std::tuple<const char*, QByteArray, const char*>;
    const Case cases[] = {
        {"NoFallbackIsWrittenAndOtherSettingsStay", "fontSize=15\n", "[General]\nfontSize=15\n"},
        {"OutdatedFileWrittenByHand",
         "useFahrenheit=true\nSUCheckAtStartup=true\nSUScheduledCheckInterval=86400\n",
         "[General]\nSUCheckAtStartup=true\nSUScheduledCheckInterval=302400\ndisplayUnit=2\n"},
        {"LegacyCelsiusOverwritesTheUnitAndCheckOffDropsTheInterval",
         "displayUnit=2\nuseFahrenheit=false\nSUCheckAtStartup=false\nSUScheduledCheckInterval=1\n",
         "[General]\nSUCheckAtStartup=false\ndisplayUnit=1\n"},
        {"LegacyZeroCountsAsStoredAndNoCheckDropsTheInterval",
         "useFahrenheit=0\nSUScheduledCheckInterval=302400\n", "[General]\ndisplayUnit=1\n"},
    };
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
        {"NegativeGivesTheFallback", "frequency=-5\n", ""},
        {"TooSmallForAFloatGivesTheFallback", "frequency=1e-300\n", ""},
        {"TinyBecomesTheShortestOffered", "frequency=0.0001\n", "frequency=0.5\n"},
        {"HugeBecomesTheLongestOffered", "frequency=1e308\n", "frequency=60\n"},
        {"OfferedStays", "frequency=0.5\n", "frequency=0.5\n"},
        {"BetweenTheOfferedStays", "frequency=7.5\n", "frequency=7.5\n"},
        {"BothGaugesOffTurnsTheTemperatureOn", "gaugeFrequency=false\ngaugeTemperature=false\n",
         "gaugeFrequency=false\ngaugeTemperature=true\n"},
        {"TemperatureOffAloneTurnsItOn", "gaugeTemperature=0\n", "gaugeTemperature=true\n"},
        {"FrequencyAloneStays", "gaugeFrequency=true\ngaugeTemperature=false\n",
         "gaugeFrequency=true\ngaugeTemperature=false\n"},
    };
    // clang-format on
    for (const auto& [name, lines, after] : cases)
        EXPECT_EQ(afterSetup("fontSize=15\n" + lines),
                  u"[General]\nfontSize=15\n"_qs + QString::fromUtf8(after))
            << name;
}

TEST(UserDefaultsSetup, CorrectionsAreToldWhenAsked)
{
    SettingsFile settings(
        "useFahrenheit=true\nSUCheckAtStartup=true\nSUScheduledCheckInterval=86400\n"
        "frequency=1e308\ngaugeTemperature=false\n");
    const LogRecorder log(u"calidra.*.debug=true"_qs);
    _initializeUserDefaults();
    EXPECT_EQ(
        log.messages,
        QStringList({u"calidra.defaults an earlier release's useFahrenheit became "
                     "displayUnit 2"_qs,
                     u"calidra.defaults the update check's interval \"86400\" was corrected "
                     "to \"302400\""_qs,
                     u"calidra.defaults the sampling interval 3.40282e+38 was corrected to 60"_qs,
                     u"calidra.defaults neither gauge was on: the temperature is on again"_qs}));
}

} // namespace
} // namespace calidra
