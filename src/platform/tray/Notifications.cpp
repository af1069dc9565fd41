// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notifications.h"

namespace calidra {

Notifications::~Notifications() = default;

void Notifications::send(Topic topic, const Notification& notification, Handlers handlers)
{
    if (Notifications* current = Notifications::current()) {
        current->notify(topic, notification, std::move(handlers));
    }
}

void Notifications::withdraw(Topic topic)
{
    if (Notifications* current = Notifications::current()) {
        current->close(topic);
    }
}

} // namespace calidra
