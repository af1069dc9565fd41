// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QMetaType>
#include <QString>

namespace calidra {

/// One event of a com.canonical.dbusmenu event group, "(isvu)": the item, what
/// happened ("clicked", "opened", "closed", "hovered"), the event's data and
/// the time the panel gives it.
struct DBusMenuEvent
{
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

} // namespace calidra

Q_DECLARE_METATYPE(calidra::DBusMenuEvent)
