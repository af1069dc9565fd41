// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QMetaType>
#include <QStringList>

namespace calidra {

/// An item's id with names of its properties, "(ias)": the properties
/// com.canonical.dbusmenu reports as removed, back to their defaults.
struct DBusMenuItemKeys
{
    int id = 0;
    QStringList names;
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& item);

} // namespace calidra

Q_DECLARE_METATYPE(calidra::DBusMenuItemKeys)
