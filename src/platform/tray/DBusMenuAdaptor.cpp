// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusMenuAdaptor.h"

#include "DBusMenuExporter.h"

#include <QDBusMetaType>
#include <QGuiApplication>
#include <QSet>

#include <algorithm>
#include <utility>

namespace calidra {
namespace {

// A panel names each of the menu's twenty-odd items and a dozen properties at
// most once per call. Of a call that carries more, only the first
// MaximumEntries are looked at, and each item or event once, so that the work
// of a call and its reply stay small whatever it carries: the reply never
// nears the bus's limit on a message, which would cost the connection.
constexpr qsizetype MaximumEntries = 256;

template <typename T>
QList<T> leading(const QList<T>& entries)
{
    return entries.first(std::min(entries.size(), MaximumEntries));
}

// The first MaximumEntries ids without repeats, in their order.
QList<int> distinctIds(const QList<int>& ids)
{
    QList<int> distinct;
    QSet<int> seen;
    for (const int id : leading(ids)) {
        if (!seen.contains(id)) {
            seen.insert(id);
            distinct.append(id);
        }
    }
    return distinct;
}

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
        m_exporter->layout(parentId, recursionDepth, leading(propertyNames));
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
    return m_exporter->groupProperties(distinctIds(ids), leading(propertyNames));
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

// An event repeated in one call counts once: one click per item, one opening
// and so one validation of the menu.
QList<int> DBusMenuAdaptor::EventGroup(const QList<DBusMenuEvent>& events)
{
    QList<int> idErrors;
    QSet<std::pair<int, QString>> handled;
    for (const DBusMenuEvent& event : leading(events)) {
        const std::pair<int, QString> key(event.id, event.eventId);
        if (handled.contains(key)) {
            continue;
        }
        handled.insert(key);
        if (!m_exporter->handleEvent(event.id, event.eventId) && !idErrors.contains(event.id)) {
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
    // Each id once, so that the menu is validated at most once.
    for (const int id : distinctIds(ids)) {
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
