// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusSignalRecorder.h"

#include <QVariant>

namespace calidra {

DBusSignalRecorder::DBusSignalRecorder(QDBusConnection connection, const QString& service,
                                       const QString& path, const QString& interface)
    // An empty signal name matches every signal of the interface.
    : m_listening(
          connection.connect(service, path, interface, {}, this, SLOT(record(QDBusMessage))))
{}

void DBusSignalRecorder::record(const QDBusMessage& message)
{
    QStringList arguments;
    for (const QVariant& argument : message.arguments()) {
        arguments.append(argument.toString());
    }
    m_heard.append(message.member() + u'(' + arguments.join(u',') + u')');
}

} // namespace calidra
