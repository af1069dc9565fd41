// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusMenuAdaptor.h"

#include "DBusMenuExporter.h"

#include <QDBusMetaType>
#include <QGuiApplication>

namespace calidra {
namespace {

void registerTypes()
{
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuItemProperties>();
    qDBusRegisterMetaType<QList<DBusMenuItemProperties>>();
    qDBusRegisterMetaType<DBusMenuItemKeys>();
    qDBusRegisterMetaType<QList<DBusMenuItemKeys>>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<QList<DBusMenuEvent>>();
}

} // namespace

DBusMenuAdaptor::DBusMenuAdaptor(DBusMenuExporter* exporter)
    : QDBusAbstractAdaptor(exporter), m_exporter(exporter)
{
    registerTypes();
}

QString DBusMenuAdaptor::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? u"rtl"_qs : u"ltr"_qs;
}

uint DBusMenuAdaptor::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                const QDBusMessage& message, DBusMenuLayoutItem& layout)
{
    std::optional<DBusMenuLayoutItem> item =
        m_exporter->layout(parentId, recursionDepth, propertyNames);
    if (!item) {
        refuse(message, parentId);
        return 0;
    }
    layout = std::move(*item);
    return m_exporter->m_revision;
}

QList<DBusMenuItemProperties> DBusMenuAdaptor::GetGroupProperties(const QList<int>& ids,
                                                                  const QStringList& propertyNames)
{
    return m_exporter->groupProperties(ids, propertyNames);
}

QDBusVariant DBusMenuAdaptor::GetProperty(int id, const QString& name, const QDBusMessage& message)
{
    const std::optional<QVariant> value = m_exporter->itemProperty(id, name);
    if (!value) {
        refuse(message, id);
        return {};
    }
    return QDBusVariant(*value);
}

// The event's data and time stamp tell this menu nothing.
void DBusMenuAdaptor::Event(int id, const QString& eventId, const QDBusVariant&, uint,
                            const QDBusMessage& message)
{
    if (!m_exporter->handleEvent(id, eventId)) {
        refuse(message, id);
    }
}

QList<int> DBusMenuAdaptor::EventGroup(const QList<DBusMenuEvent>& events)
{
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events) {
        if (!m_exporter->handleEvent(event.id, event.eventId)) {
            idErrors.append(event.id);
        }
    }
    return idErrors;
}

bool DBusMenuAdaptor::AboutToShow(int id, const QDBusMessage& message)
{
    const std::optional<bool> needUpdate = m_exporter->aboutToShow(id);
    if (!needUpdate) {
        refuse(message, id);
        return false;
    }
    return *needUpdate;
}

QList<int> DBusMenuAdaptor::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
{
    QList<int> updatesNeeded;
    for (int id : ids) {
        const std::optional<bool> needUpdate = m_exporter->aboutToShow(id);
        if (!needUpdate) {
            idErrors.append(id);
        } else if (*needUpdate) {
            updatesNeeded.append(id);
        }
    }
    return updatesNeeded;
}

// The reply is an error instead of the slot's result.
void DBusMenuAdaptor::refuse(const QDBusMessage& message, int id) const
{
    message.setDelayedReply(true);
    m_exporter->m_connection.send(message.createErrorReply(
        QDBusError::InvalidArgs, u"No menu item %1 or no such property"_qs.arg(id)));
}

} // namespace calidra
