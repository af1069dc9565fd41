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

    /// The settings tool of the desktop `currentDesktop` (XDG_CURRENT_DESKTOP's
    /// form: names parted by ':') that opens on `page`, found on PATH. Absent
    /// when the desktop has none, none is installed, or its tool cannot be
    /// opened on that page: another desktop's tool would show that desktop's
    /// settings, which this one does not use.
    static std::optional<Command> commandFor(Page page, const QString& currentDesktop);
    /// The same for the desktop the program runs on.
    static std::optional<Command> commandFor(Page page);

    /// Starts the tool of commandFor(page), detached; false when there is
    /// none or it could not start.
    static bool open(Page page);
};

} // namespace calidra
