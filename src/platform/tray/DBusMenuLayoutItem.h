// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QVariantMap>

namespace calidra {

/// One item of a com.canonical.dbusmenu layout, "(ia{sv}av)": its id, its
/// properties and its children, each child sent as a variant holding an item.
struct DBusMenuLayoutItem
{
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
/// A child whose variant holds anything but a layout item is left out.
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);

} // namespace calidra

Q_DECLARE_METATYPE(calidra::DBusMenuLayoutItem)
