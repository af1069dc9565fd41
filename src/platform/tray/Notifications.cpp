// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notifications.h"

namespace calidra {

Notifications::~Notifications() = default;

void Notifications::send(const Notification& notification)
{
    if (Notifications* notifications = current()) {
        notifications->notify(notification);
    }
}

} // namespace calidra
