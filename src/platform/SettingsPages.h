// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace calidra {

/// Pages of the desktop's own settings tools.
class SettingsPages
{
public:
    enum Page { Regional, Autostart };

    /// A settings tool: its program, found on PATH, and its arguments.
    struct Command
    {
        QString program;
        QStringList arguments;

        bool operator==(const Command&) const = default;
    };

    /// The settings tool that shows `page`: the current desktop's own
    /// (XDG_CURRENT_DESKTOP) first, then any other known one found on PATH.
    /// Absent when none is installed.
    static std::optional<Command> commandFor(Page page);

    /// Starts the tool of commandFor(page), detached; false when there is
    /// none or it could not start.
    static bool open(Page page);
};

} // namespace calidra
