// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusMenuLayoutItem.h"

#include <QDBusVariant>

namespace calidra {
namespace {

const QString Signature = u"(ia{sv}av)"_qs;

} // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuLayoutItem& child : item.children) {
        argument << QDBusVariant(QVariant::fromValue(child));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item)
{
    item = {};
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        const QVariant value = child.variant();
        if (value.metaType() != QMetaType::fromType<QDBusArgument>()) {
            continue;
        }
        const auto childArgument = value.value<QDBusArgument>();
        if (childArgument.currentSignature() == Signature) {
            childArgument >> item.children.emplace_back();
        }
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

} // namespace calidra
