// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

class QDBusServiceWatcher;

namespace calidra {

/// A StatusNotifierWatcher for tests: it owns "org.kde.StatusNotifierWatcher"
/// on the connection it is given and serves that interface at
/// "/StatusNotifierWatcher", with a host always registered. It records the
/// items that register: the service name given, or the caller's own name
/// when the item gives its object path; an item whose name leaves the bus is
/// dropped and announced as unregistered. `goAway()` and `comeBack()` play a
/// panel that quits and starts again.
class FakeStatusNotifierWatcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    /// Claims the name and serves the object at once; `isServing()` tells
    /// whether both worked.
    explicit FakeStatusNotifierWatcher(const QDBusConnection& connection,
                                       QObject* parent = nullptr);
    ~FakeStatusNotifierWatcher() override;

    bool isServing() const { return m_serving; }
    /// The items registered since the watcher last came, each once, oldest first.
    const QStringList& registeredItems() const { return m_items; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    /// Releases the name and the object, and forgets the items, as a watcher
    /// that quits does.
    void goAway();
    /// Claims the name and serves the object again; false when either fails.
    bool comeBack();

public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service);
    Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString& service);

signals:
    Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& service);
    Q_SCRIPTABLE void StatusNotifierItemUnregistered(const QString& service);
    Q_SCRIPTABLE void StatusNotifierHostRegistered();

private:
    void dropItem(const QString& service);

    QDBusConnection m_connection;
    QDBusServiceWatcher* m_itemWatcher;
    QStringList m_items;
    bool m_serving = false;
};

} // namespace calidra
