// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProcessWide.h"

#include <QString>

namespace calidra {

/// Passing messages to the user's desktop, which shows them on its own and
/// goes on without waiting for anyone to read them. The program creates one
/// process-wide instance that speaks to the desktop (DesktopNotifications);
/// a test creates its own that records what it is given.
///
/// Used on the main thread only.
class Notifications : public ProcessWide<Notifications>
{
public:
    /// What one notification says, as plain text.
    struct Notification
    {
        QString summary;
        QString body;

        bool operator==(const Notification&) const = default;
    };

    virtual ~Notifications();

    /// Passes the notification to the current instance; nothing happens when
    /// none exists. Never waits.
    static void send(const Notification& notification);

    /// Shows the notification, urgently; a later one replaces the earlier
    /// where the desktop can. Returns at once and reports nothing.
    virtual void notify(const Notification& notification) = 0;

protected:
    Notifications() = default;
};

} // namespace calidra
