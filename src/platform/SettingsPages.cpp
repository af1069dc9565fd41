// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsPages.h"

#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

namespace calidra {
namespace {

// A settings tool and the desktops (XDG_CURRENT_DESKTOP entries) it belongs to.
struct Tool
{
    QStringList desktops;
    QString program;
    QStringList arguments;
};

// The settings tools of the common desktops, in the order they are tried
// when none belongs to the current desktop.
std::vector<Tool> toolsFor(SettingsPages::Page page)
{
    if (page == SettingsPages::Regional) {
        return {{{u"GNOME"_qs, u"Unity"_qs}, u"gnome-control-center"_qs, {u"region"_qs}},
                {{u"KDE"_qs}, u"systemsettings"_qs, {u"kcm_regionandlang"_qs}},
                {{u"X-Cinnamon"_qs}, u"cinnamon-settings"_qs, {u"region"_qs}}};
    }
    return {{{u"GNOME"_qs, u"Unity"_qs, u"Budgie"_qs}, u"gnome-session-properties"_qs, {}},
            {{u"KDE"_qs}, u"systemsettings"_qs, {u"kcm_autostart"_qs}},
            {{u"KDE"_qs}, u"kcmshell5"_qs, {u"autostart"_qs}},
            {{u"XFCE"_qs}, u"xfce4-session-settings"_qs, {}},
            {{u"LXQt"_qs}, u"lxqt-config-session"_qs, {}},
            {{u"MATE"_qs}, u"mate-session-properties"_qs, {}},
            {{u"X-Cinnamon"_qs}, u"cinnamon-session-properties"_qs, {}}};
}

bool belongsToCurrentDesktop(const Tool& tool)
{
    const QStringList current = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':');
    return std::any_of(current.begin(), current.end(), [&tool](const QString& desktop) {
        return tool.desktops.contains(desktop, Qt::CaseInsensitive);
    });
}

} // namespace

std::optional<SettingsPages::Command> SettingsPages::commandFor(Page page)
{
    std::vector<Tool> tools = toolsFor(page);
    std::stable_partition(tools.begin(), tools.end(), belongsToCurrentDesktop);
    for (const Tool& tool : tools) {
        const QString path = QStandardPaths::findExecutable(tool.program);
        if (!path.isEmpty()) {
            return Command{path, tool.arguments};
        }
    }
    return std::nullopt;
}

bool SettingsPages::open(Page page)
{
    const std::optional<Command> command = commandFor(page);
    return command && QProcess::startDetached(command->program, command->arguments);
}

} // namespace calidra
