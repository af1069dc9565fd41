#include "platform/UserDefaults.h"

#include "QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace calidra {
namespace {

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(u"Calidra.ini"_qs); }

    void writeFile(const QByteArray& text) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray fileContents() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(UserDefaultsTest, StoredValuesWinAndOutliveTheStoreButRegistrationsDoNot)
{
    {
        UserDefaults defaults(path());
        defaults.registerDefaults({{u"frequency"_qs, 2.0f}, {u"showIcon"_qs, true}});
        defaults.setFloat(0.5f, u"frequency"_qs);
        EXPECT_EQ(defaults.floatForKey(u"frequency"_qs), 0.5f);
        EXPECT_TRUE(defaults.boolForKey(u"showIcon"_qs));
    }
    EXPECT_FALSE(fileContents().contains("showIcon"));
    UserDefaults reopened(path());
    EXPECT_EQ(reopened.floatForKey(u"frequency"_qs), 0.5f);
    EXPECT_FALSE(reopened.objectForKey(u"showIcon"_qs).isValid());
    EXPECT_FALSE(reopened.boolForKey(u"showIcon"_qs));
}

TEST_F(UserDefaultsTest, WrittenNumbersReadBackExactlyInANewStore)
{
    // 2^53 + 1 has no double of its own: integers must not pass through one.
    const std::vector<qint64> integers{0, -1, 9007199254740993, std::numeric_limits<qint64>::max(),
                                       std::numeric_limits<qint64>::min()};
    const std::vector<float> floats{0.1f, -13.25f, std::numeric_limits<float>::max(),
                                    std::numeric_limits<float>::denorm_min()};
    {
        UserDefaults defaults(path());
        for (size_t i = 0; i < integers.size(); ++i) {
            defaults.setInteger(integers[i], u"integer%1"_qs.arg(i));
        }
        for (size_t i = 0; i < floats.size(); ++i) {
            defaults.setFloat(floats[i], u"float%1"_qs.arg(i));
        }
    }
    UserDefaults reopened(path());
    for (size_t i = 0; i < integers.size(); ++i) {
        EXPECT_EQ(reopened.integerForKey(u"integer%1"_qs.arg(i)), integers[i]);
    }
    for (size_t i = 0; i < floats.size(); ++i) {
        EXPECT_EQ(reopened.floatForKey(u"float%1"_qs.arg(i)), floats[i]);
    }
}

TEST_F(UserDefaultsTest, ReadsIniTextAsTheAskedTypeOrFallsBack)
{
    // The registered 7.5 reads as true, 7 and 7.5: a case giving those fell back.
    struct Case
    {
        const char* name;
        const char* text;
        bool boolean;
        qint64 integer;
        float number;
    };
    constexpr qint64 maxInteger = std::numeric_limits<qint64>::max();
    constexpr qint64 minInteger = std::numeric_limits<qint64>::min();
    constexpr float maxFloat = std::numeric_limits<float>::max();
    const Case cases[] = {
        {"word true", "true", true, 7, 7.5f},
        {"word yes in capitals", "YES", true, 7, 7.5f},
        {"word no mixed case", "No", false, 7, 7.5f},
        {"zero", "0", false, 0, 0.0f},
        {"one", "1", true, 1, 1.0f},
        {"negative", "-3", true, -3, -3.0f},
        {"fraction truncates", "2.75", true, 2, 2.75f},
        {"negative fraction truncates", "-2.75", true, -2, -2.75f},
        {"huge", "1e30", true, maxInteger, 1e30f},
        {"huge negative", "-1e30", true, minInteger, -1e30f},
        {"just past the largest integer", "9223372036854775808", true, maxInteger, 9.223372e18f},
        {"too many digits", "99999999999999999999", true, maxInteger, 1e20f},
        {"beyond float", "1e39", true, maxInteger, maxFloat},
        {"beyond double", "-1e400", true, minInteger, -maxFloat},
        {"nan", "nan", true, 7, 7.5f},
        {"infinity", "inf", true, 7, 7.5f},
        {"negative infinity", "-inf", true, 7, 7.5f},
        {"empty", "", true, 7, 7.5f},
        {"garbage", "warm", true, 7, 7.5f},
        {"hexadecimal", "0x10", true, 7, 7.5f},
        {"list", "a, b", true, 7, 7.5f},
    };
    QByteArray file = "[General]\n";
    QVariantMap fallbacks;
    for (size_t i = 0; i < std::size(cases); ++i) {
        file += "case" + QByteArray::number(qulonglong(i)) + '=' + cases[i].text + '\n';
        fallbacks.insert(u"case%1"_qs.arg(i), 7.5);
    }
    writeFile(file);
    UserDefaults defaults(path());
    defaults.registerDefaults(fallbacks);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const QString key = u"case%1"_qs.arg(i);
        EXPECT_EQ(defaults.boolForKey(key), cases[i].boolean) << cases[i].name;
        EXPECT_EQ(defaults.integerForKey(key), cases[i].integer) << cases[i].name;
        EXPECT_EQ(defaults.floatForKey(key), cases[i].number) << cases[i].name;
    }
}

TEST_F(UserDefaultsTest, UnreadableValueWithoutFallbackReadsFalseAndZero)
{
    writeFile("[General]\nfrequency=nan\nshowIcon=maybe\n");
    UserDefaults defaults(path());
    EXPECT_FALSE(defaults.boolForKey(u"showIcon"_qs));
    EXPECT_EQ(defaults.integerForKey(u"frequency"_qs), 0);
    EXPECT_EQ(defaults.floatForKey(u"frequency"_qs), 0.0f);
    EXPECT_FALSE(defaults.boolForKey(u"absent"_qs));
    EXPECT_FALSE(defaults.objectForKey(u"absent"_qs).isValid());
}

TEST_F(UserDefaultsTest, NotifiesOnlyRealChangesWithTheNewEffectiveValue)
{
    UserDefaults defaults(path());
    defaults.registerDefaults(
        {{u"fontSize"_qs, 13.0f}, {u"frequency"_qs, 0.1f}, {u"gaugeTemperature"_qs, true}});
    std::vector<std::pair<QString, QVariant>> heard;
    QObject::connect(
        &defaults, &UserDefaults::valueChanged,
        [&heard](const QString& key, const QVariant& value) { heard.emplace_back(key, value); });
    struct Step
    {
        const char* name;
        std::function<void()> write;
        std::optional<QVariant> expected;
    };
    const Step steps[] = {
        {"storing the registered value", [&] { defaults.setFloat(13.0f, u"fontSize"_qs); },
         std::nullopt},
        {"a new value", [&] { defaults.setFloat(14.5f, u"fontSize"_qs); }, QVariant(u"14.5"_qs)},
        {"the same value again", [&] { defaults.setFloat(14.5f, u"fontSize"_qs); }, std::nullopt},
        {"removal shows the fallback", [&] { defaults.removeObjectForKey(u"fontSize"_qs); },
         QVariant(13.0f)},
        {"removing an absent value", [&] { defaults.removeObjectForKey(u"fontSize"_qs); },
         std::nullopt},
        {"storing an inexact float fallback", [&] { defaults.setFloat(0.1f, u"frequency"_qs); },
         std::nullopt},
        {"bool equal to the fallback", [&] { defaults.setBool(true, u"gaugeTemperature"_qs); },
         std::nullopt},
        {"unregistered key", [&] { defaults.setInteger(2, u"displayUnit"_qs); }, QVariant(u"2"_qs)},
        {"removal without fallback", [&] { defaults.removeObjectForKey(u"displayUnit"_qs); },
         QVariant()},
        {"refused infinite float", [&] { defaults.setFloat(INFINITY, u"fontSize"_qs); },
         std::nullopt},
        {"refused nan", [&] { defaults.setFloat(NAN, u"fontSize"_qs); }, std::nullopt},
    };
    for (const Step& step : steps) {
        heard.clear();
        step.write();
        if (!step.expected) {
            EXPECT_TRUE(heard.empty()) << step.name;
            continue;
        }
        ASSERT_EQ(heard.size(), 1u) << step.name;
        EXPECT_EQ(heard.front().second, *step.expected) << step.name;
    }
}

TEST_F(UserDefaultsTest, ObserversHearOnlyTheirKeyWhileTheirContextLives)
{
    UserDefaults defaults(path());
    auto fontContext = std::make_unique<QObject>();
    QObject iconContext;
    std::vector<QVariant> fontSizes;
    int iconChanges = 0;
    defaults.observe(u"fontSize"_qs, fontContext.get(),
                     [&fontSizes](const QVariant& value) { fontSizes.push_back(value); });
    defaults.observe(u"showIcon"_qs, &iconContext,
                     [&iconChanges](const QVariant&) { ++iconChanges; });
    EXPECT_FALSE(defaults.observe(u"fontSize"_qs, nullptr, [](const QVariant&) {}));
    EXPECT_FALSE(defaults.observe(u"fontSize"_qs, &iconContext, nullptr));

    defaults.setFloat(12.0f, u"fontSize"_qs);
    fontContext.reset();
    defaults.setFloat(11.0f, u"fontSize"_qs);

    EXPECT_EQ(fontSizes, std::vector<QVariant>{QVariant(u"12"_qs)});
    EXPECT_EQ(iconChanges, 0);
}

TEST_F(UserDefaultsTest, KeysThatAreNoFlatNameNeverTouchTheFile)
{
    // Without care, removing "" or "/" would empty the whole file.
    writeFile("[General]\nfontSize=15\n[group]\nkey=1\n");
    UserDefaults defaults(path());
    for (const QString& key : {u""_qs, u"/"_qs, u"group/key"_qs, u"group\\key"_qs}) {
        defaults.setInteger(3, key);
        defaults.removeObjectForKey(key);
        EXPECT_FALSE(defaults.objectForKey(key).isValid()) << key.toStdString();
    }
    EXPECT_EQ(defaults.integerForKey(u"fontSize"_qs), 15);
    EXPECT_TRUE(fileContents().contains("key=1"));
}

TEST_F(UserDefaultsTest, GarbageLinesAreDroppedButSettingsAroundThemKept)
{
    writeFile("[General]\nfontSize=15\nthis is no setting\n=orphan\n[[broken\nshowIcon=yes\n");
    UserDefaults defaults(path());
    EXPECT_EQ(defaults.integerForKey(u"fontSize"_qs), 15);
    defaults.setInteger(2, u"displayUnit"_qs);

    UserDefaults reopened(path());
    EXPECT_EQ(reopened.integerForKey(u"fontSize"_qs), 15);
    EXPECT_EQ(reopened.integerForKey(u"displayUnit"_qs), 2);
    EXPECT_TRUE(fileContents().contains("showIcon=yes"));
}

TEST_F(UserDefaultsTest, UnwritableFileKeepsValuesForTheRun)
{
    QFile blocker(m_dir.filePath(u"blocker"_qs));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    UserDefaults defaults(m_dir.filePath(u"blocker/Calidra.ini"_qs));
    defaults.setInteger(2, u"displayUnit"_qs);
    defaults.setBool(true, u"showIcon"_qs);
    defaults.removeObjectForKey(u"showIcon"_qs);
    EXPECT_EQ(defaults.integerForKey(u"displayUnit"_qs), 2);
    EXPECT_FALSE(defaults.objectForKey(u"showIcon"_qs).isValid());
}

} // namespace
} // namespace calidra
