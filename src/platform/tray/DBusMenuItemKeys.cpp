// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusMenuItemKeys.h"

namespace calidra {

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& item)
{
    argument.beginStructure();
    argument << item.id << item.names;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& item)
{
    argument.beginStructure();
    argument >> item.id >> item.names;
    argument.endStructure();
    return argument;
}

} // namespace calidra
