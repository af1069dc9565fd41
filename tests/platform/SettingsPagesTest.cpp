// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsPages.h"

#include "QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

namespace calidra {
namespace {

// Sets an environment variable for one scope, then puts the old value back.
struct ScopedVariable
{
    ScopedVariable(const char* variable, const QByteArray& value)
        : name(variable), old(qgetenv(variable)), wasSet(qEnvironmentVariableIsSet(variable))
    {
        qputenv(variable, value);
    }
    ~ScopedVariable() { wasSet ? qputenv(name, old) : qunsetenv(name); }
    const char* name;
    QByteArray old;
    bool wasSet;
};

// Only the running desktop's own tool, and only one that opens on the page:
// another desktop's tool shows settings this one does not use.
TEST(SettingsPagesTest, OnlyTheCurrentDesktopsToolForThePageIsOffered)
{
    QTemporaryDir bin;
    for (const char* program :
         {"gnome-session-properties", "gnome-control-center", "xfce4-session-settings",
          "lxqt-config-session", "lxqt-config-locale", "systemsettings"}) {
        QFile file(bin.filePath(QString::fromLatin1(program)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const ScopedVariable path("PATH", bin.path().toUtf8());
    constexpr auto Autostart = SettingsPages::Autostart;
    constexpr auto Regional = SettingsPages::Regional;
    // The desktop, the page, the program offered (null: none) and its arguments.
    // clang-format off
    const std::tuple<const char*, SettingsPages::Page, const char*, QStringList> cases[] = {
        {"ubuntu:GNOME", Autostart, "gnome-session-properties", {}},
        {"GNOME", Regional, "gnome-control-center", {u"region"_qs}},
        {"KDE", Autostart, "systemsettings", {u"kcm_autostart"_qs}},
        {"KDE", Regional, "systemsettings", {u"kcm_regionandlang"_qs}},
        {"kde", Autostart, "systemsettings", {u"kcm_autostart"_qs}},
        {"LXQt", Regional, "lxqt-config-locale", {}},
        // These open on another page than the autostart list.
        {"LXQt", Autostart, nullptr, {}}, {"XFCE", Autostart, nullptr, {}},
        // Xfce has no regional settings; GNOME's would do nothing there.
        {"XFCE", Regional, nullptr, {}}, {"", Autostart, nullptr, {}}, {"sway", Regional, nullptr, {}},
    };
    // clang-format on
    for (const auto& [desktop, page, program, arguments] : cases) {
        SCOPED_TRACE(std::string(desktop) + (page == Regional ? " region" : ""));
        const auto command = SettingsPages::commandFor(page, QString::fromUtf8(desktop));
        ASSERT_EQ(command.has_value(), program != nullptr);
        if (command) {
            EXPECT_EQ(command->program, bin.filePath(QString::fromLatin1(program)));
            EXPECT_EQ(command->arguments, arguments);
        }
    }
    const ScopedVariable nowhere("PATH", "/nonexistent");
    EXPECT_FALSE(SettingsPages::commandFor(Autostart, u"KDE"_qs));
    const ScopedVariable desktop("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_FALSE(SettingsPages::open(Autostart));
}

} // namespace
} // namespace calidra
