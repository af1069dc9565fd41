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

// Only the running desktop's own tool, and only one that opens on the page:
// another desktop's tool shows settings this one does not use.
TEST(SettingsPagesTest, OnlyTheCurrentDesktopsToolForThePageIsOffered)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    for (const char* program :
         {"gnome-session-properties", "gnome-control-center", "xfce4-session-settings",
          "lxqt-config-session", "lxqt-config-locale", "systemsettings"}) {
        QFile file(bin.filePath(QString::fromLatin1(program)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const ScopedVariable path("PATH", bin.path().toUtf8());
    struct Case
    {
        const char* desktop;
        SettingsPages::Page page;
        const char* program; // null: none is offered
        QStringList arguments;
    };
    // clang-format off
    const Case cases[] = {
        {"ubuntu:GNOME", SettingsPages::Autostart, "gnome-session-properties", {}},
        {"GNOME",        SettingsPages::Regional,  "gnome-control-center", {u"region"_qs}},
        {"KDE",          SettingsPages::Autostart, "systemsettings", {u"kcm_autostart"_qs}},
        {"KDE",          SettingsPages::Regional,  "systemsettings", {u"kcm_regionandlang"_qs}},
        {"kde",          SettingsPages::Autostart, "systemsettings", {u"kcm_autostart"_qs}},
        {"LXQt",         SettingsPages::Regional,  "lxqt-config-locale", {}},
        // These open on another page than the autostart list.
        {"LXQt",         SettingsPages::Autostart, nullptr, {}},
        {"XFCE",         SettingsPages::Autostart, nullptr, {}},
        // Xfce has no regional settings; GNOME's would do nothing there.
        {"XFCE",         SettingsPages::Regional,  nullptr, {}},
        {"",             SettingsPages::Autostart, nullptr, {}},
        {"sway",         SettingsPages::Regional,  nullptr, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.desktop) + (c.page == SettingsPages::Regional ? " region" : ""));
        const auto command = SettingsPages::commandFor(c.page, QString::fromUtf8(c.desktop));
        ASSERT_EQ(command.has_value(), c.program != nullptr);
        if (command) {
            EXPECT_EQ(command->program, bin.filePath(QString::fromLatin1(c.program)));
            EXPECT_EQ(command->arguments, c.arguments);
        }
    }
    const ScopedVariable nowhere("PATH", "/nonexistent");
    EXPECT_FALSE(SettingsPages::commandFor(SettingsPages::Autostart, u"KDE"_qs));
    const ScopedVariable desktop("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_FALSE(SettingsPages::open(SettingsPages::Autostart));
}

} // namespace
} // namespace calidra
