// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProcessWide.h"

#include <QList>
#include <QString>

#include <functional>
#include <utility>

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
    /// What a notification is about. Each topic shows one notification at a
    /// time: a new one replaces the one before, where the desktop can.
    enum class Topic { Alarm, Notice };

    /// What one notification says, as plain text.
    struct Notification
    {
        QString summary;
        QString body;
        /// A critical one stays until it is dismissed; any other goes when
        /// the desktop decides.
        bool critical = true;
        /// Its buttons, in order: each an action's key and its label.
        QList<std::pair<QString, QString>> actions = {};

        bool operator==(const Notification&) const = default;
    };

    /// What becomes of a notification, each told at most once and later, from
    /// the event loop: the user chose one of its actions (by key), or the
    /// desktop cannot show notifications at all. Empty functions for nothing.
    struct Handlers
    {
        std::function<void(const QString& action)> actionInvoked;
        std::function<void()> undeliverable;
    };

    virtual ~Notifications();

    /// Passes the notification to the current instance; nothing happens when
    /// none exists. Never waits.
    static void send(Topic topic, const Notification& notification, Handlers handlers = {});
    /// Takes the topic's notification off the desktop, if one is shown.
    static void withdraw(Topic topic);

    /// Shows the notification under its topic. Returns at once and reports
    /// only through `handlers`.
    virtual void notify(Topic topic, const Notification& notification, Handlers handlers) = 0;
    /// Takes the topic's notification off the desktop; nothing when there is
    /// none. Returns at once.
    virtual void close(Topic topic) = 0;

protected:
    Notifications() = default;
};

} // namespace calidra
