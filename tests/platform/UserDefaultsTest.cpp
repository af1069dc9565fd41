#include "platform/UserDefaults.h"

#include "QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace calidra {
namespace {

struct UserDefaultsTest : ::testing::Test
{
    void writeFile(const QByteArray& text) const
    {
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }

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
    using Case = std::tuple<const char*, QVariant, Reads>; // stored text, registered value
    const Case cases[] = {
        {"YES", QVariant(), {true, 0, 0.0f}},
        {"0", 7.5, {false, 0, 0.0f}},
        {"-2.75", 7.5, {true, -2, -2.75f}},
        {"9223372036854775808", 7.5, {true, std::numeric_limits<qint64>::max(), 9.223372e18f}},
        {"-1e400", 7.5, {true, std::numeric_limits<qint64>::min(), -maxFloat}},
        {"nan", 7.5, {true, 7, 7.5f}},
        {"inf", 7.5, {true, 7, 7.5f}},
        {"", 7.5, {true, 7, 7.5f}},
        {"warm", 7.5, {true, 7, 7.5f}},
        {"warm", QVariant(), {false, 0, 0.0f}},
    };
    const QString k = u"k"_qs;
    for (const auto& [text, registered, reads] : cases) {
        writeFile("[General]\nk=" + QByteArray(text) + '\n');
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
    writeFile(text);
    UserDefaults defaults(m_path);
    // Without care, removing "" or "/" would empty the whole file.
    for (const QString& key : {u""_qs, u"/"_qs, u"g/key"_qs, u"g\\key"_qs}) {
        defaults.setInteger(3, key);
        defaults.removeObjectForKey(key);
        EXPECT_FALSE(defaults.objectForKey(key).isValid()) << key.toStdString();
    }
    QFile file(m_path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == text);
    defaults.setInteger(2, u"displayUnit"_qs);
    UserDefaults reopened(m_path);
    EXPECT_EQ(reopened.integerForKey(u"fontSize"_qs), 15);
    EXPECT_TRUE(reopened.boolForKey(u"showIcon"_qs));
}

} // namespace
} // namespace calidra
