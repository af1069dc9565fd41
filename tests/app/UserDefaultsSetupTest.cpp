#include "app/UserDefaultsSetup.h"

#include "QtPrinters.h"
#include "app/DefaultsKeys.h"
#include "platform/UserDefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace calidra {
namespace {

namespace Keys = DefaultsKeys;

class UserDefaultsSetupTest : public ::testing::Test
{
protected:
    /// A settings file of its own for each name, holding the given lines.
    QString writeFile(const QString& name, const QByteArray& lines) const
    {
        const QString path = m_dir.filePath(name + u".ini"_qs);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\n" + lines);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST(UserDefaultsSetup, WithoutAStoreGivesNull)
{
    EXPECT_EQ(_initializeUserDefaults(), nullptr);
}

TEST_F(UserDefaultsSetupTest, FirstStartReadsTheRegisteredFallbacks)
{
    const QString path = m_dir.filePath(u"Calidra.ini"_qs);
    UserDefaults defaults(path);
    ASSERT_EQ(_initializeUserDefaults(), &defaults);

    EXPECT_EQ(defaults.integerForKey(Keys::displayUnit), Keys::unitByLocale);
    EXPECT_EQ(defaults.floatForKey(Keys::frequency), 2.0f);
    EXPECT_EQ(defaults.floatForKey(Keys::fontSize), 13.0f);
    EXPECT_FALSE(defaults.boolForKey(Keys::showIcon));
    EXPECT_TRUE(defaults.boolForKey(Keys::gaugeTemperature));
    EXPECT_FALSE(defaults.boolForKey(Keys::gaugeFrequency));
    EXPECT_FALSE(defaults.boolForKey(Keys::arrangeVertically));
    EXPECT_FALSE(defaults.objectForKey(Keys::SUScheduledCheckInterval).isValid());
    QFile file(path);
    const QByteArray written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    EXPECT_FALSE(written.contains('=')) << "the fallbacks were written: " << written.toStdString();
}

TEST_F(UserDefaultsSetupTest, LegacyUnitBecomesDisplayUnitWhateverItSays)
{
    struct Case
    {
        const char* name;
        QByteArray lines;
        qint64 displayUnit;
    };
    const Case cases[] = {
        {"fahrenheit", "useFahrenheit=true\n", Keys::unitFahrenheit},
        {"celsius", "useFahrenheit=false\n", Keys::unitCelsius},
        {"zero still counts as stored", "useFahrenheit=0\n", Keys::unitCelsius},
        {"unreadable counts as celsius", "useFahrenheit=warm\n", Keys::unitCelsius},
        {"empty counts as celsius", "useFahrenheit=\n", Keys::unitCelsius},
        {"overwrites a stored celsius", "displayUnit=1\nuseFahrenheit=yes\n", Keys::unitFahrenheit},
        {"overwrites a stored fahrenheit", "displayUnit=2\nuseFahrenheit=no\n", Keys::unitCelsius},
        {"without legacy key the unit stays", "displayUnit=2\n", Keys::unitFahrenheit},
    };
    for (const Case& test : cases) {
        UserDefaults defaults(writeFile(QString::fromUtf8(test.name), test.lines));
        _initializeUserDefaults();
        EXPECT_EQ(defaults.integerForKey(Keys::displayUnit), test.displayUnit) << test.name;
        EXPECT_FALSE(defaults.objectForKey(Keys::useFahrenheit).isValid()) << test.name;
    }
}

TEST_F(UserDefaultsSetupTest, UpdaterIntervalFollowsCheckAtStartup)
{
    struct Case
    {
        const char* name;
        QByteArray lines;
        std::optional<qint64> interval;
    };
    const Case cases[] = {
        {"on replaces another interval", "SUCheckAtStartup=true\nSUScheduledCheckInterval=86400\n",
         Keys::updaterCheckInterval},
        {"on without interval", "SUCheckAtStartup=1\n", Keys::updaterCheckInterval},
        {"off removes it", "SUCheckAtStartup=false\nSUScheduledCheckInterval=86400\n",
         std::nullopt},
        {"absent removes it", "SUScheduledCheckInterval=302400\n", std::nullopt},
        {"unreadable removes it", "SUCheckAtStartup=sometimes\nSUScheduledCheckInterval=5\n",
         std::nullopt},
    };
    for (const Case& test : cases) {
        UserDefaults defaults(writeFile(QString::fromUtf8(test.name), test.lines));
        _initializeUserDefaults();
        const QVariant interval = defaults.objectForKey(Keys::SUScheduledCheckInterval);
        EXPECT_EQ(interval.isValid(), test.interval.has_value()) << test.name;
        EXPECT_EQ(defaults.integerForKey(Keys::SUScheduledCheckInterval), test.interval.value_or(0))
            << test.name;
    }
}

TEST_F(UserDefaultsSetupTest, OutdatedSettingsFileIsMigratedOnDisk)
{
    const QString path = writeFile(u"outdated"_qs, "useFahrenheit=true\n"
                                                   "SUCheckAtStartup=true\n"
                                                   "SUScheduledCheckInterval=86400\n"
                                                   "fontSize=15\n");
    {
        UserDefaults defaults(path);
        _initializeUserDefaults();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeAll(QByteArray());
    std::sort(lines.begin(), lines.end());
    const QList<QByteArray> expected{"SUCheckAtStartup=true", "SUScheduledCheckInterval=302400",
                                     "[General]", "displayUnit=2", "fontSize=15"};
    EXPECT_EQ(lines, expected);
}

} // namespace
} // namespace calidra
