// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DBusMenuEvent.h"
#include "DBusMenuItemKeys.h"
#include "DBusMenuItemProperties.h"
#include "DBusMenuLayoutItem.h"

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QList>
#include <QStringList>

namespace calidra {

class DBusMenuExporter;

/// The com.canonical.dbusmenu interface (version 3) of a DBusMenuExporter:
/// QtDBus checks each call's arguments against these slots, demarshals them
/// and answers the interface's properties and its XML from this class;
/// the slots hand the work to the exporter. A call about an item that does
/// not exist gets an org.freedesktop.DBus.Error.InvalidArgs reply. The
/// signals reach the bus as they are emitted.
///
/// Whatever a call carries, its work and its reply stay small: of its lists
/// of ids, property names and events only the first 256 entries count, and
/// an id or event repeated in one call counts once, so that the menu is
/// validated at most once per call and an item clicked at most once.
class DBusMenuAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter* exporter);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return u"normal"_qs; }
    QStringList iconThemePath() const { return {}; }

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   const QDBusMessage& message, calidra::DBusMenuLayoutItem& layout);
    QList<calidra::DBusMenuItemProperties> GetGroupProperties(const QList<int>& ids,
                                                              const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name, const QDBusMessage& message);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp,
               const QDBusMessage& message);
    QList<int> EventGroup(const QList<calidra::DBusMenuEvent>& events);
    bool AboutToShow(int id, const QDBusMessage& message);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    void ItemsPropertiesUpdated(const QList<calidra::DBusMenuItemProperties>& updatedProps,
                                const QList<calidra::DBusMenuItemKeys>& removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    void refuse(const QDBusMessage& message, int id) const;

    DBusMenuExporter* m_exporter;
};

} // namespace calidra
