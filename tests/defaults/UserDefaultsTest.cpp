// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaults.h"

#include "FixtureTree.h"
#include "LogRecorder.h"
#include "QtPrinters.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaultsSetup.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <variant>
#include <vector>

namespace calidra {
namespace {

constexpr auto writeText = &SettingsFile::write;
constexpr auto fileText = &FixtureTree::readFile;
using Read = std::variant<bool, qint64, float, QString>;

// What a damaged or hand-edited settings file may hold: no key, old names included, reads as a
// value its readers could not use, only as its fallback or its rule's nearest.
TEST(SettingsTest, EveryKeyReadsAWrongKindOutOfRangeOrNoNumberAsItsFallbackOrItsClamp)
{
    std::map<QString, Read (*)(const UserDefaults&)> readers;
    const auto add = [&readers]<typename... Key>(Key...) {
        ((readers[Key::name] = [](const UserDefaults& d) -> Read { return d.value<Key>(); }), ...);
    };
    std::apply(add, Settings::All());
    std::apply(add, Settings::Deprecated());
    // clang-format off
    const std::map<QString, std::vector<std::pair<QByteArray, Read>>> rows = {
        {u"displayUnit"_qs, {{"2", qint64(2)}, {"1.9", qint64(1)}, {"7", qint64(0)}, {"-1", qint64(0)},
                             {"celsius", qint64(0)}}},
        {u"frequency"_qs, {{"7.5", 7.5F}, {"0", 2.0F}, {"-5", 2.0F}, {"1e-300", 2.0F}, {"0.0001", 0.5F},
                           {"1e400", 60.0F}, {"nan", 2.0F}}},
        {u"fontSize"_qs, {{"17.6", 17.6F}, {"huge", 13.0F}, {"-4", 1.0F}, {"1e30", 72.0F}, {"inf", 13.0F}}},
        {u"showIcon"_qs, {{"maybe", false}}}, {u"gaugeTemperature"_qs, {{"maybe", true}, {"0", false}}},
        {u"gaugeFrequency"_qs, {{"nan", false}}}, {u"arrangeVertically"_qs, {{"", false}}},
        {u"SUCheckAtStartup"_qs, {{"maybe", false}}}, {u"SUScheduledCheckInterval"_qs, {{"soon", qint64(0)}}},
        {u"alarmEnabled"_qs, {{"maybe", false}}}, {u"useFahrenheit"_qs, {{"maybe", false}}},
        {u"alarmTemperature"_qs, {{"75.5", 75.5F}, {"abc", 90.0F}, {"nan", 90.0F}, {"inf", 90.0F},
                                  {"", 90.0F}, {"30", 50.0F}, {"-400", 50.0F}, {"500", 110.0F}, {"1e39", 110.0F}}},
        // The sensor's identity as the file keeps it: quoted, its quotes escaped. Unquoted,
        // the file's reader takes the commas for a list and drops the quotes.
        {u"temperatureSensor"_qs, {{R"("{\"driver\": \"acpitz\", \"channel\": 1}")",
                                    u"{\"channel\":1,\"driver\":\"acpitz\"}"_qs},
                                   {R"({"driver":"acpitz","channel":1})", QString()}, {"amdgpu, edge", QString()},
                                   {R"("{\"driver\":\"acpitz\"}")", QString()}, {"", QString()}}},
    };
    // clang-format on
    EXPECT_EQ(rows.size(), readers.size());
    for (const auto& [key, reader] : readers) {
        ASSERT_TRUE(rows.count(key)) << key.toStdString() << " has no row";
        for (const auto& [stored, read] : rows.at(key)) {
            // A file each: QSettings takes a rewritten file of the same size and
            // time for the one it read.
            SettingsFile settings(key.toUtf8() + '=' + stored + '\n');
            settings.defaults.registerDefaults(Settings::registeredFallbacks());
            EXPECT_EQ(reader(settings.defaults), read) << key.toStdString() << '=' << stored.data();
        }
    }
}

// Kernel names may hold anything the file format treats specially. Not-a-number and the
// infinities no read gives, but a caller may hand them to a rule.
TEST(SettingsTest, AChosenSensorReadsBackAsStoredAndRulesTakeNoNumberToFallbackOrNearerEnd)
{
    const QString identity =
        uR"({"device":"pci0000:00/0000:00:01.1","driver":"k\u00e4lte;#","label":"a\"b,c\\d = @e"})"_qs;
    QTemporaryDir folder;
    const QString path = folder.filePath(u"settings.ini"_qs);
    UserDefaults(path).setValue<Settings::TemperatureSensor>(identity);
    const QString stored = UserDefaults(path).value<Settings::TemperatureSensor>();
    EXPECT_EQ(stored, Settings::TemperatureSensor::value(identity));
    EXPECT_FALSE(stored.isEmpty());
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(Settings::AlarmTemperature::value(NaN), 90);
    EXPECT_EQ(Settings::AlarmTemperature::value(-Infinity), 50);
    EXPECT_EQ(Settings::FontSize::value(NaN), 13);
    EXPECT_EQ(Settings::Frequency::value(NaN), 2);
    EXPECT_EQ(Settings::Frequency::value(Infinity), 60);
}

// A stored interval outside what the preferences offer, or both gauges off,
// would start no reader, or one that samples without pause or never.
TEST(UserDefaultsSetup, MigratesLegacyKeysAndBringsIntervalsAndGaugesIntoRangeOnDisk)
{
    EXPECT_EQ(_initializeUserDefaults(), nullptr); // without a store
    {
        SettingsFile settings;
        ASSERT_EQ(_initializeUserDefaults(), &settings.defaults);
        EXPECT_EQ(settings.defaults.objectForKey(Settings::ShowIcon::name), QVariant(false));
        EXPECT_FALSE(
            settings.defaults.objectForKey(Settings::SUScheduledCheckInterval::name).isValid());
    }
    // The file's lines below "[General]" before and after; QSettings sorts keys.
    // clang-format off
    const std::pair<QByteArray, const char*> cases[] = {
        {"fontSize=15\n", "fontSize=15\n"},
        {"useFahrenheit=true\nSUCheckAtStartup=true\nSUScheduledCheckInterval=86400\n",
         "SUCheckAtStartup=true\nSUScheduledCheckInterval=302400\ndisplayUnit=2\n"},
        {"displayUnit=2\nuseFahrenheit=false\nSUCheckAtStartup=false\nSUScheduledCheckInterval=1\n",
         "SUCheckAtStartup=false\ndisplayUnit=1\n"},
        {"useFahrenheit=0\nSUScheduledCheckInterval=302400\n", "displayUnit=1\n"},
        {"fontSize=15\nfrequency=0\n", "fontSize=15\n"},
        {"fontSize=15\nfrequency=-0.0\n", "fontSize=15\n"},
        {"fontSize=15\nfrequency=1e-300\n", "fontSize=15\n"},
        {"fontSize=15\nfrequency=0.0001\n", "fontSize=15\nfrequency=0.5\n"},
        {"fontSize=15\nfrequency=1e308\n", "fontSize=15\nfrequency=60\n"},
        {"fontSize=15\nfrequency=7.5\n", "fontSize=15\nfrequency=7.5\n"},
        {"fontSize=15\ngaugeFrequency=false\ngaugeTemperature=false\n", "fontSize=15\ngaugeFrequency=false\ngaugeTemperature=true\n"},
        {"fontSize=15\ngaugeTemperature=0\n", "fontSize=15\ngaugeTemperature=true\n"},
        {"fontSize=15\ngaugeFrequency=true\ngaugeTemperature=false\n", "fontSize=15\ngaugeFrequency=true\ngaugeTemperature=false\n"},
    };
    // clang-format on
    for (const auto& [lines, after] : cases) {
        const SettingsFile settings(lines);
        _initializeUserDefaults();
        EXPECT_EQ(fileText(settings.path), "[General]\n" + QByteArray(after)) << lines.data();
    }
}

struct UserDefaultsTest : ::testing::Test
{
    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath(u"Calidra.ini"_qs);
};

TEST_F(UserDefaultsTest, StoredValuesWinAndReadBackExactlyInANewStoreButRegistrationsAreNotKept)
{
    {
        UserDefaults defaults(m_path);
        defaults.registerDefaults({{u"frequency"_qs, 2.0f}, {u"showIcon"_qs, true}});
        defaults.setFloat(0.100000009f, u"frequency"_qs); // reads back only from all nine digits
        defaults.setInteger(9007199254740993, u"big"_qs); // 2^53 + 1, which no double holds
        EXPECT_EQ(defaults.floatForKey(u"frequency"_qs), 0.100000009f);
    }
    UserDefaults reopened(m_path);
    EXPECT_EQ(reopened.floatForKey(u"frequency"_qs), 0.100000009f);
    EXPECT_EQ(reopened.integerForKey(u"big"_qs), 9007199254740993);
    EXPECT_FALSE(reopened.objectForKey(u"showIcon"_qs).isValid());
}

TEST_F(UserDefaultsTest, ReadsTextAsTheAskedTypeClampedOrElseAsTheRegisteredValue)
{
    constexpr float maxFloat = std::numeric_limits<float>::max();
    using Reads = std::tuple<bool, qint64, float>;
    // Stored text, registered value, the reads.
    const std::tuple<const char*, QVariant, Reads> cases[] = {
        {"YES", QVariant(), {true, 0, 0.0f}},
        {"0", 7.5, {false, 0, 0.0f}},
        {"-2.75", 7.5, {true, -2, -2.75f}},
        {"9223372036854775808", 7.5, {true, std::numeric_limits<qint64>::max(), 9.223372e18f}},
        {"-1e400", 7.5, {true, std::numeric_limits<qint64>::min(), -maxFloat}},
        {"nan", 7.5, {true, 7, 7.5f}},
        {"inf", 7.5, {true, 7, 7.5f}},
        {"warm", 7.5, {true, 7, 7.5f}},
        {"warm", QVariant(), {false, 0, 0.0f}},
    };
    const QString k = u"k"_qs;
    for (const auto& [text, registered, reads] : cases) {
        ASSERT_TRUE(writeText(m_path, "[General]\nk=" + QByteArray(text) + '\n'));
        UserDefaults d(m_path);
        d.registerDefaults({{k, registered}});
        EXPECT_EQ(Reads(d.boolForKey(k), d.integerForKey(k), d.floatForKey(k)), reads) << text;
    }
}

TEST_F(UserDefaultsTest, ObserversHearOnlyRealChangesOfTheirKeyEvenWithAnUnwritableFile)
{
    UserDefaults defaults(m_dir.path()); // a folder where the settings file should be
    defaults.registerDefaults({{u"frequency"_qs, 0.1f}}); // 0.1f is no double: compare as text
    QVariantList heard;
    defaults.observe(u"frequency"_qs, &defaults, [&](const QVariant& value) { heard << value; });
    EXPECT_FALSE(defaults.observe(u"frequency"_qs, nullptr, [](const QVariant&) {}) ||
                 defaults.observe(u"frequency"_qs, &defaults, nullptr));
    defaults.setFloat(0.1f, u"frequency"_qs); // the registered value: no change
    defaults.setFloat(0.5f, u"frequency"_qs);
    defaults.setFloat(0.5f, u"frequency"_qs);
    defaults.setFloat(std::numeric_limits<float>::quiet_NaN(), u"frequency"_qs); // stores nothing
    defaults.setInteger(2, u"displayUnit"_qs);
    defaults.removeObjectForKey(u"frequency"_qs);
    defaults.removeObjectForKey(u"frequency"_qs);
    EXPECT_EQ(heard, (QVariantList{u"0.5"_qs, 0.1f})); // each the new value as read back
}

TEST_F(UserDefaultsTest, OnlyFlatKeysChangeTheFileAndDamagedLinesLoseNoSettingAroundThem)
{
    const QByteArray text = "[General]\nfontSize=15\njunk\n=orphan\nshowIcon=yes\n[g]\nkey=1\n";
    ASSERT_TRUE(writeText(m_path, text));
    UserDefaults defaults(m_path);
    // Without care, removing "" or "/" would empty the whole file.
    for (const QString& key : {u""_qs, u"/"_qs, u"g/key"_qs, u"g\\key"_qs}) {
        defaults.setInteger(3, key);
        defaults.removeObjectForKey(key);
        EXPECT_FALSE(defaults.objectForKey(key).isValid()) << key.toStdString();
    }
    EXPECT_EQ(fileText(m_path), text);
    defaults.setInteger(2, u"displayUnit"_qs);
    UserDefaults reopened(m_path);
    EXPECT_EQ(reopened.integerForKey(u"fontSize"_qs), 15);
    EXPECT_TRUE(reopened.boolForKey(u"showIcon"_qs));
}

// The title reads the font size at every refresh; a broken one is told once.
TEST(UserDefaultsLogTest, AStoredValueThatCannotBeReadIsToldOnceAndOnlyWhenAsked)
{
    SettingsFile settings("fontSize=huge\n");
    settings.defaults.registerDefaults(Settings::registeredFallbacks());
    {
        const LogRecorder log({});
        EXPECT_EQ(settings.defaults.floatForKey(Settings::FontSize::name), 13.0F);
        EXPECT_EQ(log.messages, QStringList());
    }
    const LogRecorder log(u"calidra.*.debug=true"_qs);
    for (int refresh = 0; refresh < 5; ++refresh)
        EXPECT_EQ(settings.defaults.floatForKey(Settings::FontSize::name), 13.0F);
    EXPECT_EQ(log.messages, QStringList(u"calidra.defaults stored \"fontSize\" \"huge\" cannot be "
                                        "read; the fallback \"13\" stands in"_qs));
}

bool makeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// The old file moves to the new name once; nothing is overwritten, and what is
// not a regular file stays where it is.
TEST_F(UserDefaultsTest, TheOldSettingsFileMovesToTheNewNameOnce)
{
    const QString conf = m_dir.filePath(u"Calidra.conf"_qs);
    // Old text, new text (null: a FIFO), the new file's text afterwards, whether the old stays.
    // clang-format off
    const std::tuple<QByteArray, QByteArray, QByteArray, bool> rows[] = {
        {"[General]\nshowIcon=true\n", {}, "[General]\nshowIcon=true\n", false},
        {"fontSize=20\n", "fontSize=9\n", "fontSize=9\n", true},
        {QByteArray(), {}, {}, true},
        {"", {}, {}, false},
    };
    // clang-format on
    for (const auto& [iniText, confText, confAfter, iniAfter] : rows) {
        SCOPED_TRACE(iniText.isNull() ? "a FIFO as the old" : iniText.data());
        QFile::remove(conf);
        QFile::remove(m_path);
        ASSERT_TRUE(confText.isEmpty() || writeText(conf, confText));
        ASSERT_TRUE(iniText.isNull() ? makeFifo(m_path)
                                     : iniText.isEmpty() || writeText(m_path, iniText));
        EXPECT_EQ(UserDefaults::adoptLegacyFile(conf), conf);
        EXPECT_EQ(fileText(conf), confAfter);
        EXPECT_EQ(QFileInfo::exists(m_path), iniAfter);
    }
}

/// Ends the process when its scope still waits after 20 s, far beyond its bounded work.
struct Watchdog
{
    Watchdog() { ::alarm(20); }
    ~Watchdog() { ::alarm(0); }
};

TEST_F(UserDefaultsTest, AChangeThatFindsTheLockUnavailableIsWrittenByTheNextWriteOrAtTheEnd)
{
    const QString path = m_dir.filePath(u"Calidra/Calidra.ini"_qs); // in a folder not made yet
    const QString lock = path + u".lock"_qs;
    {
        const Watchdog watchdog;
        UserDefaults defaults(path);
        defaults.setInteger(2, u"displayUnit"_qs);
        EXPECT_TRUE(defaults.isWritable() && fileText(path).contains("displayUnit=2"));
        ASSERT_TRUE(QDir().mkdir(lock)); // a folder where the lock goes is never free
        defaults.setBool(true, u"showIcon"_qs);
        EXPECT_TRUE(defaults.boolForKey(u"showIcon"_qs));
        EXPECT_FALSE(defaults.isWritable() || fileText(path).contains("showIcon"));
        ASSERT_TRUE(QDir().rmdir(lock));
        defaults.setInteger(15, u"fontSize"_qs);
        EXPECT_TRUE(fileText(path).contains("fontSize=15") && fileText(path).contains("showIcon"));
        EXPECT_TRUE(defaults.isWritable());
        ASSERT_TRUE(QDir().mkdir(lock));
        defaults.removeObjectForKey(u"showIcon"_qs);
        EXPECT_FALSE(defaults.objectForKey(u"showIcon"_qs).isValid());
        EXPECT_TRUE(fileText(path).contains("showIcon"));
        ASSERT_TRUE(QDir().rmdir(lock));
    }
    EXPECT_EQ(fileText(path), "[General]\ndisplayUnit=2\nfontSize=15\n");
}

/// What lies at path: its type and the bytes of a file or the names in a folder.
QByteArray snapshot(const QString& path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return "missing";
    const QByteArray type = QByteArray::number(status.st_mode & S_IFMT) + ':';
    if (S_ISDIR(status.st_mode))
        return type +
               QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u'/').toUtf8();
    return S_ISREG(status.st_mode) ? type + fileText(path) : type;
}

// Something at the settings path or at its lock path that a plain reader or locker would wait
// on without end, or lose the user's settings to: the font size reads 15 from a settings file
// written first, else the registered 13.
TEST(HostileFileTest, ReadsFallbacksKeepsWritesInMemoryAndLeavesTheFileAlone)
{
    const QByteArray text = "[General]\nfontSize=15\n";
    std::optional<QLockFile> held; // another writer's
    const auto folder = [](const QString& p) { return QDir().mkdir(p); };
    const auto atLock = [](bool (*make)(const QString&)) {
        return [make](const QString& p) { return make(p + u".lock"_qs); };
    };
    // What is made, the font size read, the lines on standard error, whether root is bound.
    // clang-format off
    const std::tuple<const char*, std::function<bool(const QString&)>, float, int, bool> cases[] = {
        {"FifoAtTheSettingsPath", makeFifo, 13.0f, 0, true},
        {"FolderAtTheSettingsPath", folder, 13.0f, 0, true},
        {"TwoMebibyteSettingsFile", [&](const QString& p) {
             return writeText(p, text + ';' + QByteArray(2 * 1024 * 1024, 'x') + '\n'); }, 13.0f, 1, true},
        {"FifoAtTheLockPath", atLock(makeFifo), 15.0f, 0, true},
        {"FolderAtTheLockPath", atLock(folder), 15.0f, 0, true},
        {"LockHeldByAnotherWriter", [&](const QString& p) { return held.emplace(p + u".lock"_qs).lock(); }, 15.0f, 0, true},
        {"StaleLockInAReadOnlyFolder", [](const QString& p) {
             return writeText(p + u".lock"_qs, "999999\n") &&
                    QFile::setPermissions(QFileInfo(p).absolutePath(), QFile::ReadOwner | QFile::ExeOwner); },
         15.0f, 0, false},
    };
    // clang-format on
    for (const auto& [name, make, fontSize, stderrLines, bindsRoot] : cases) {
        SCOPED_TRACE(name);
        if (!bindsRoot && ::geteuid() == 0)
            continue; // permissions do not bind root
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Calidra.ini"_qs), lock = path + u".lock"_qs;
        ASSERT_TRUE(fontSize != 15.0f || writeText(path, text));
        ASSERT_TRUE(make(path));
        const QByteArray settingsBefore = snapshot(path), lockBefore = snapshot(lock);
        {
            const Watchdog watchdog;
            testing::internal::CaptureStderr();
            UserDefaults defaults(path);
            const std::string written = testing::internal::GetCapturedStderr();
            EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), stderrLines);
            defaults.registerDefaults({{u"fontSize"_qs, 13.0f}});
            EXPECT_EQ(defaults.floatForKey(u"fontSize"_qs), fontSize);
            defaults.setInteger(2, u"displayUnit"_qs);
            EXPECT_EQ(defaults.integerForKey(u"displayUnit"_qs), 2);
            EXPECT_FALSE(defaults.isWritable());
        }
        EXPECT_EQ(snapshot(path), settingsBefore);
        EXPECT_EQ(snapshot(lock), lockBefore);
        held.reset();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

} // namespace
} // namespace calidra
