// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsPages.h"

#include "QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace calidra {
namespace {

// Sets an environment variable for one scope, then puts the old value back.
class ScopedVariable
{
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable() { m_wasSet ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_wasSet;
};

TEST(SettingsPagesTest, TheCurrentDesktopsAutostartToolComesFirstThenAnyFound)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    for (const char* program :
         {"gnome-session-properties", "xfce4-session-settings", "systemsettings"}) {
        QFile file(bin.filePath(QString::fromLatin1(program)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const ScopedVariable path("PATH", bin.path().toUtf8());
    struct Case
    {
        const char* desktop;
        const char* program; // null: none is found
        QStringList arguments;
    };
    const Case cases[] = {
        {"XFCE", "xfce4-session-settings", {}},
        {"ubuntu:GNOME", "gnome-session-properties", {}},
        {"KDE", "systemsettings", {u"kcm_autostart"_qs}},
        {"LXQt", "gnome-session-properties", {}},
        {"", "gnome-session-properties", {}},
    };
    for (const Case& c : cases) {
        const ScopedVariable desktop("XDG_CURRENT_DESKTOP", c.desktop);
        const auto command = SettingsPages::commandFor(SettingsPages::Autostart);
        ASSERT_TRUE(command) << c.desktop;
        EXPECT_EQ(command->program, bin.filePath(QString::fromLatin1(c.program))) << c.desktop;
        EXPECT_EQ(command->arguments, c.arguments) << c.desktop;
    }
    const ScopedVariable nowhere("PATH", "/nonexistent");
    EXPECT_FALSE(SettingsPages::commandFor(SettingsPages::Autostart));
    EXPECT_FALSE(SettingsPages::open(SettingsPages::Autostart));
}

} // namespace
} // namespace calidra
