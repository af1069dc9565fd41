// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/Settings.h"

#include "QtPrinters.h"
#include "SettingsFile.h"
#include "defaults/UserDefaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <utility>
#include <variant>
#include <vector>

namespace calidra {
namespace {

using Read = std::variant<bool, qint64, float, QString>;
using Reader = Read (*)(const UserDefaults&);

// The typed read of every key, old names included, by its stored name.
std::map<QString, Reader> readers()
{
    std::map<QString, Reader> byName;
    const auto add = [&byName]<typename... Key>(Key...) {
        ((byName[Key::name] = [](const UserDefaults& defaults) -> Read {
             return defaults.value<Key>();
         }),
         ...);
    };
    std::apply(add, Settings::All());
    std::apply(add, Settings::Deprecated());
    return byName;
}

// What a damaged or hand-edited settings file may hold: no key reads as a
// value its readers could not use, only as its fallback or its rule's nearest.
TEST(SettingsTest, EveryKeyReadsAWrongKindOutOfRangeOrNoNumberAsItsFallbackOrItsClamp)
{
    // Each key with what may be stored and how it reads.
    using Reads = std::vector<std::pair<QByteArray, Read>>;
    // clang-format off
    const std::map<QString, Reads> rows = {
        {u"displayUnit"_qs, {{"2", qint64(2)}, {"1.9", qint64(1)}, {"7", qint64(0)}, {"-1", qint64(0)},
                             {"celsius", qint64(0)}}},
        {u"frequency"_qs, {{"7.5", 7.5F}, {"0", 2.0F}, {"-5", 2.0F}, {"1e-300", 2.0F},
                           {"0.0001", 0.5F}, {"1e400", 60.0F}, {"nan", 2.0F}}},
        {u"fontSize"_qs, {{"17.6", 17.6F}, {"huge", 13.0F}, {"-4", 1.0F}, {"1e30", 72.0F},
                          {"inf", 13.0F}}},
        {u"showIcon"_qs, {{"maybe", false}}},
        {u"gaugeTemperature"_qs, {{"maybe", true}, {"0", false}}},
        {u"gaugeFrequency"_qs, {{"nan", false}}},
        {u"arrangeVertically"_qs, {{"", false}}},
        {u"SUCheckAtStartup"_qs, {{"maybe", false}}},
        {u"SUScheduledCheckInterval"_qs, {{"soon", qint64(0)}}},
        {u"alarmEnabled"_qs, {{"maybe", false}}},
        {u"alarmTemperature"_qs, {{"75.5", 75.5F}, {"abc", 90.0F}, {"nan", 90.0F}, {"inf", 90.0F},
                                  {"", 90.0F}, {"30", 50.0F}, {"-400", 50.0F}, {"500", 110.0F},
                                  {"1e39", 110.0F}}},
        {u"useFahrenheit"_qs, {{"maybe", false}}},
        // The sensor's identity as the file keeps it: quoted, its quotes escaped. Unquoted,
        // the file's reader takes the commas for a list and drops the quotes.
        {u"temperatureSensor"_qs, {{R"("{\"driver\": \"acpitz\", \"channel\": 1}")",
                                    u"{\"channel\":1,\"driver\":\"acpitz\"}"_qs},
                                   {R"({"driver":"acpitz","channel":1})", QString()},
                                   {"amdgpu, edge", QString()},
                                   {R"("{\"driver\":\"acpitz\"}")", QString()},
                                   {"", QString()}}},
    };
    // clang-format on
    const std::map<QString, Reader> byName = readers();
    for (const auto& [key, reader] : byName) {
        ASSERT_TRUE(rows.count(key)) << key.toStdString() << " has no row";
        for (const auto& [stored, read] : rows.at(key)) {
            // A file each: QSettings takes a rewritten file of the same size and
            // time for the one it read.
            SettingsFile settings(key.toUtf8() + '=' + stored + '\n');
            settings.defaults.registerDefaults(Settings::registeredFallbacks());
            EXPECT_EQ(reader(settings.defaults), read) << key.toStdString() << '=' << stored.data();
        }
    }
    EXPECT_EQ(rows.size(), byName.size());
}

// Kernel names may hold anything the file format treats specially.
TEST(SettingsTest, AChosenSensorReadsBackAsItWasStored)
{
    const QString identity =
        uR"({"device":"pci0000:00/0000:00:01.1","driver":"k\u00e4lte;#","label":"a\"b,c\\d = @e"})"_qs;
    QTemporaryDir folder;
    const QString path = folder.filePath(u"settings.ini"_qs);
    UserDefaults(path).setValue<Settings::TemperatureSensor>(identity);
    const QString stored = UserDefaults(path).value<Settings::TemperatureSensor>();
    EXPECT_EQ(stored, Settings::TemperatureSensor::value(identity));
    EXPECT_FALSE(stored.isEmpty());
}

// Values no read gives, which a caller may still hand to a rule.
TEST(SettingsTest, RulesTakeNotANumberToTheFallbackAndInfinitiesToTheNearerEnd)
{
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(Settings::AlarmTemperature::value(NaN), 90);
    EXPECT_EQ(Settings::AlarmTemperature::value(-Infinity), 50);
    EXPECT_EQ(Settings::FontSize::value(NaN), 13);
    EXPECT_EQ(Settings::Frequency::value(NaN), 2);
    EXPECT_EQ(Settings::Frequency::value(Infinity), 60);
}

} // namespace
} // namespace calidra
