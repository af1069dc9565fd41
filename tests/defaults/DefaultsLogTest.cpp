// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/DefaultsLog.h"

#include "LogRecorder.h"
#include "QtPrinters.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"
#include "defaults/UserDefaultsSetup.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace calidra {
namespace {

const QString DebugOn = u"calidra.*.debug=true"_qs;

// A settings file holding `lines`, and the store over it.
struct SettingsFile
{
    explicit SettingsFile(const QByteArray& lines)
        : written(file.open() && file.write("[General]\n" + lines) >= 0 && file.flush())
    {
        EXPECT_TRUE(written);
    }

    QTemporaryFile file;
    bool written;
    UserDefaults defaults{file.fileName()};
};

// The title reads the font size at every refresh; a broken one is told once.
TEST(DefaultsLogTest, AStoredValueThatCannotBeReadIsToldOnceAndOnlyWhenAsked)
{
    SettingsFile settings("fontSize=huge\n");
    settings.defaults.registerDefaults(Settings::registeredFallbacks());
    {
        const LogRecorder log({});
        EXPECT_EQ(settings.defaults.floatForKey(Settings::FontSize::name), 13.0F);
        EXPECT_EQ(log.messages, QStringList());
    }
    const LogRecorder log(DebugOn);
    for (int refresh = 0; refresh < 5; ++refresh) {
        EXPECT_EQ(settings.defaults.floatForKey(Settings::FontSize::name), 13.0F);
    }
    EXPECT_EQ(log.messages, QStringList(u"calidra.defaults stored \"fontSize\" \"huge\" cannot be "
                                        "read; the fallback \"13\" stands in"_qs));
}

TEST(DefaultsLogTest, StartUpCorrectionsAreTold)
{
    SettingsFile settings(
        "useFahrenheit=true\nSUCheckAtStartup=true\nSUScheduledCheckInterval=86400\n"
        "frequency=1e308\ngaugeTemperature=false\n");
    const LogRecorder log(DebugOn);
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
