// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QMetaType>
#include <QVariantMap>

namespace calidra {

/// An item's id with some of its properties, "(ia{sv})": what
/// com.canonical.dbusmenu sends for property reads and updates.
struct DBusMenuItemProperties
{
    int id = 0;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);

} // namespace calidra

Q_DECLARE_METATYPE(calidra::DBusMenuItemProperties)
