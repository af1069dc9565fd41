// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/Settings.h"

#include "QtPrinters.h"
#include "defaults/UserDefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <variant>

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
    struct Row
    {
        const char* key;
        const char* stored;
        Read read;
    };
    const Row rows[] = {
        {"displayUnit", "2", qint64(2)},
        {"displayUnit", "1.9", qint64(1)},
        {"displayUnit", "7", qint64(0)},
        {"displayUnit", "-1", qint64(0)},
        {"displayUnit", "celsius", qint64(0)},
        {"frequency", "7.5", 7.5F},
        {"frequency", "0", 2.0F},
        {"frequency", "-5", 2.0F},
        {"frequency", "1e-300", 2.0F},
        {"frequency", "0.0001", 0.5F},
        {"frequency", "1e400", 60.0F},
        {"frequency", "nan", 2.0F},
        {"frequency", "fast", 2.0F},
        {"fontSize", "17.6", 17.6F},
        {"fontSize", "huge", 13.0F},
        {"fontSize", "-4", 1.0F},
        {"fontSize", "1e30", 72.0F},
        {"fontSize", "inf", 13.0F},
        {"showIcon", "YES", true},
        {"showIcon", "maybe", false},
        {"gaugeTemperature", "maybe", true},
        {"gaugeTemperature", "0", false},
        {"gaugeFrequency", "2", true},
        {"gaugeFrequency", "nan", false},
        {"arrangeVertically", "", false},
        {"SUCheckAtStartup", "maybe", false},
        {"SUScheduledCheckInterval", "soon", qint64(0)},
        {"alarmEnabled", "maybe", false},
        {"alarmTemperature", "75.5", 75.5F},
        {"alarmTemperature", "abc", 90.0F},
        {"alarmTemperature", "nan", 90.0F},
        {"alarmTemperature", "inf", 90.0F},
        {"alarmTemperature", "", 90.0F},
        {"alarmTemperature", "30", 50.0F},
        {"alarmTemperature", "-400", 50.0F},
        {"alarmTemperature", "500", 110.0F},
        {"alarmTemperature", "1e39", 110.0F},
        {"useFahrenheit", "maybe", false},
        // The sensor's identity as the file keeps it: quoted, its quotes escaped.
        {"temperatureSensor", R"("{\"driver\": \"acpitz\", \"channel\": 1}")",
         u"{\"channel\":1,\"driver\":\"acpitz\"}"_qs},
        // Unquoted, the file's reader takes the commas for a list and drops the quotes.
        {"temperatureSensor", R"({"driver":"acpitz","channel":1})", QString()},
        {"temperatureSensor", "amdgpu, edge", QString()},
        {"temperatureSensor", R"("{\"driver\":\"acpitz\"}")", QString()},
        {"temperatureSensor", "", QString()},
    };
    const std::map<QString, Reader> byName = readers();
    std::map<QString, int> rowsOfKey;
    QTemporaryDir folder;
    int row = 0;
    for (const auto& [key, stored, read] : rows) {
        // A file each: QSettings takes a rewritten file of the same size and
        // time for the one it read.
        const QString path = folder.filePath(QString::number(++row));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write("[General]\n" + QByteArray(key) + '=' + stored + '\n') > 0);
        file.close();
        UserDefaults defaults(path);
        defaults.registerDefaults(Settings::registeredFallbacks());
        const auto reader = byName.find(QString::fromLatin1(key));
        ASSERT_NE(reader, byName.end()) << key;
        EXPECT_EQ(reader->second(defaults), read) << key << '=' << stored;
        ++rowsOfKey[reader->first];
    }
    for (const auto& entry : byName) {
        EXPECT_GT(rowsOfKey[entry.first], 0) << entry.first.toStdString() << " has no row";
    }
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
