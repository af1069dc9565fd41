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

// The settings tools that open right on the page, per desktop, in the order
// they are tried. Xfce's and LXQt's session settings open on another page
// than their autostart list and take no argument to change that; Xfce has no
// regional settings.
std::vector<Tool> toolsFor(SettingsPages::Page page)
{
    if (page == SettingsPages::Regional) {
        return {
            {{u"GNOME"_qs, u"Unity"_qs, u"Budgie"_qs}, u"gnome-control-center"_qs, {u"region"_qs}},
            {{u"KDE"_qs}, u"systemsettings"_qs, {u"kcm_regionandlang"_qs}},
            {{u"LXQt"_qs}, u"lxqt-config-locale"_qs, {}},
            {{u"X-Cinnamon"_qs}, u"cinnamon-settings"_qs, {u"region"_qs}}};
    }
    return {{{u"GNOME"_qs, u"Unity"_qs, u"Budgie"_qs}, u"gnome-session-properties"_qs, {}},
            {{u"KDE"_qs}, u"systemsettings"_qs, {u"kcm_autostart"_qs}},
            {{u"KDE"_qs}, u"kcmshell5"_qs, {u"autostart"_qs}},
            {{u"MATE"_qs}, u"mate-session-properties"_qs, {}},
            {{u"X-Cinnamon"_qs}, u"cinnamon-session-properties"_qs, {}}};
}

bool belongsTo(const Tool& tool, const QString& currentDesktop)
{
    const QStringList current = currentDesktop.split(u':', Qt::SkipEmptyParts);
    return std::any_of(current.begin(), current.end(), [&tool](const QString& desktop) {
        return tool.desktops.contains(desktop, Qt::CaseInsensitive);
    });
}

} // namespace

std::optional<SettingsPages::Command> SettingsPages::commandFor(Page page,
                                                                const QString& currentDesktop)
{
    for (const Tool& tool : toolsFor(page)) {
        if (!belongsTo(tool, currentDesktop)) {
            continue;
        }
        const QString path = QStandardPaths::findExecutable(tool.program);
        if (!path.isEmpty()) {
            return Command{path, tool.arguments};
        }
    }
    return std::nullopt;
}

std::optional<SettingsPages::Command> SettingsPages::commandFor(Page page)
{
    return commandFor(page, qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
}

bool SettingsPages::open(Page page)
{
    const std::optional<Command> command = commandFor(page);
    return command && QProcess::startDetached(command->program, command->arguments);
}

} // namespace calidra
