// SPDX-License-Identifier: GPL-3.0-or-later
#include "BusNames.h"

namespace calidra::BusNames {

QDBusMessage busCall(const QString& method, const QVariantList& arguments)
{
    const QString daemon = QStringLiteral("org.freedesktop.DBus");
    QDBusMessage call = QDBusMessage::createMethodCall(
        daemon, QStringLiteral("/org/freedesktop/DBus"), daemon, method);
    call.setArguments(arguments);
    return call;
}

} // namespace calidra::BusNames
