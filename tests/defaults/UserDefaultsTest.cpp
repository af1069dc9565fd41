// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaults.h"

#include "FixtureTree.h"
#include "LogRecorder.h"
#include "QtPrinters.h"
#include "SettingsFile.h"
#include "defaults/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>

namespace calidra {
namespace {

constexpr auto writeText = &SettingsFile::write;
constexpr auto fileText = &FixtureTree::readFile;

struct UserDefaultsTest : ::testing::Test
{
    QTemporaryDir m_dir;
    const QString m_path = m_dir.filePath(u"Calidra.ini"_qs);
};

/// What lies at path, as far as a test can tell it changed: its type and the
/// bytes of a file or the names in a folder.
QByteArray snapshot(const QString& path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return "missing";
    const QByteArray type = QByteArray::number(status.st_mode & S_IFMT) + ':';
    if (S_ISDIR(status.st_mode)) {
        return type +
               QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(u'/').toUtf8();
    }
    return S_ISREG(status.st_mode) ? type + fileText(path) : type;
}

/// Ends the test's process (SIGALRM's default action) when the work in its scope still waits
/// after 20 seconds for something that never comes; its work is bounded far below that, so
/// this never judges speed.
struct Watchdog
{
    Watchdog() { ::alarm(20); }
    ~Watchdog() { ::alarm(0); }
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
    using Case = std::tuple<const char*, QVariant, Reads>; // stored text, registered value
    const Case cases[] = {
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

// The old file moves to the new name once; nothing is overwritten, and what is
// not a regular file stays where it is.
TEST_F(UserDefaultsTest, TheOldSettingsFileMovesToTheNewNameOnce)
{
    const QString conf = m_dir.filePath(u"Calidra.conf"_qs);
    const QString ini = m_dir.filePath(u"Calidra.ini"_qs);
    // clang-format off
    const struct { const char* name; QByteArray confText; QByteArray iniText; bool iniFifo;
                   QByteArray confAfter; bool iniAfter; } rows[] = {
        {"only the old file", {}, "[General]\nshowIcon=true\n", false, "[General]\nshowIcon=true\n", false},
        {"both", "fontSize=9\n", "fontSize=20\n", false, "fontSize=9\n", true},
        {"a FIFO as the old", {}, {}, true, {}, true},
        {"neither", {}, {}, false, {}, false},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(conf);
        QFile::remove(ini);
        if (!row.confText.isEmpty()) {
            ASSERT_TRUE(writeText(conf, row.confText));
        }
        if (row.iniFifo) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
        } else if (!row.iniText.isEmpty()) {
            ASSERT_TRUE(writeText(ini, row.iniText));
        }
        EXPECT_EQ(UserDefaults::adoptLegacyFile(conf), conf);
        EXPECT_EQ(fileText(conf), row.confAfter);
        EXPECT_EQ(QFileInfo::exists(ini), row.iniAfter);
    }
}

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

/// Something at the settings path or at its lock path that a plain reader or
/// locker would wait on without end, or lose the user's settings to.
struct HostileCase
{
    const char* name;
    bool (*make)(const QString& settingsPath);
    float fontSize; // as read afterwards: 15 from a settings file written first, 13 registered
    int stderrLines;
    bool bindsRoot = true;

    friend void PrintTo(const HostileCase& row, std::ostream* out) { *out << row.name; }
};

bool makeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

const QByteArray settingsText = "[General]\nfontSize=15\n";
/// The lock that another writer holds, given back at the end of each case.
std::optional<QLockFile> heldLock;

// clang-format off
const HostileCase hostileCases[] = {
    {"FifoAtTheSettingsPath", makeFifo, 13.0f, 0},
    {"FolderAtTheSettingsPath", [](const QString& path) { return QDir().mkdir(path); }, 13.0f, 0},
    {"TwoMebibyteSettingsFile", [](const QString& path) {
         return writeText(path, settingsText + ';' + QByteArray(2 * 1024 * 1024, 'x') + '\n'); }, 13.0f, 1},
    {"FifoAtTheLockPath", [](const QString& path) { return makeFifo(path + u".lock"_qs); }, 15.0f, 0},
    {"FolderAtTheLockPath", [](const QString& path) { return QDir().mkdir(path + u".lock"_qs); }, 15.0f, 0},
    {"LockHeldByAnotherWriter", [](const QString& path) { return heldLock.emplace(path + u".lock"_qs).lock(); },
     15.0f, 0},
    {"StaleLockInAReadOnlyFolder", [](const QString& path) {
         return writeText(path + u".lock"_qs, "999999\n") &&
                QFile::setPermissions(QFileInfo(path).absolutePath(), QFile::ReadOwner | QFile::ExeOwner); },
     15.0f, 0, false},
};
// clang-format on

struct HostileFileTest : UserDefaultsTest, ::testing::WithParamInterface<HostileCase>
{
    ~HostileFileTest() override
    {
        heldLock.reset();
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

TEST_P(HostileFileTest, ReadsFallbacksKeepsWritesInMemoryAndLeavesTheFileAlone)
{
    if (!GetParam().bindsRoot && ::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    ASSERT_TRUE(GetParam().fontSize != 15.0f || writeText(m_path, settingsText));
    ASSERT_TRUE(GetParam().make(m_path));
    const QString lock = m_path + u".lock"_qs;
    const QByteArray settingsBefore = snapshot(m_path);
    const QByteArray lockBefore = snapshot(lock);
    {
        const Watchdog watchdog;
        testing::internal::CaptureStderr();
        UserDefaults defaults(m_path);
        const std::string written = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), GetParam().stderrLines);
        defaults.registerDefaults({{u"fontSize"_qs, 13.0f}});
        EXPECT_EQ(defaults.floatForKey(u"fontSize"_qs), GetParam().fontSize);
        defaults.setInteger(2, u"displayUnit"_qs);
        EXPECT_EQ(defaults.integerForKey(u"displayUnit"_qs), 2);
        EXPECT_FALSE(defaults.isWritable());
    }
    EXPECT_EQ(snapshot(m_path), settingsBefore);
    EXPECT_EQ(snapshot(lock), lockBefore);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileFileTest, ::testing::ValuesIn(hostileCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace calidra
