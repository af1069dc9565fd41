// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/tray/Notifications.h"

#include <QStringList>

namespace calidra {

/// The desktop's notifications of a test: records each one shown, as
/// "topic: summary / body", and each closed, as "topic closed", and keeps the
/// last one shown with its handlers. Without a service (`serviceRuns` false)
/// every notification is undeliverable at once, as on a desktop without one.
struct RecordingNotifications : Notifications
{
    void notify(Topic topic, const Notification& notification, Handlers given) override
    {
        events.append(name(topic) + u": "_qs + notification.summary + u" / "_qs +
                      notification.body);
        shown = notification;
        handlers = given;
        if (!serviceRuns && handlers.undeliverable) {
            handlers.undeliverable();
        }
    }

    void close(Topic topic) override { events.append(name(topic) + u" closed"_qs); }

    static QString name(Topic topic) { return topic == Topic::Alarm ? u"alarm"_qs : u"notice"_qs; }

    QStringList events;
    Notification shown;
    Handlers handlers;
    bool serviceRuns = true;
};

} // namespace calidra
