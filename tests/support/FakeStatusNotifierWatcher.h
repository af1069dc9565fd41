// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>

class QDBusServiceWatcher;

namespace calidra {

/// A StatusNotifierWatcher for tests, with the faults real panels have: it
/// owns "org.kde.StatusNotifierWatcher" on the connection it is given and
/// serves that interface at "/StatusNotifierWatcher". It lists each item that
/// registers as a panel does, "service/path": the service name given with the
/// default path, or the caller's own name with the path it gave; an item whose
/// name leaves the bus is dropped and announced as unregistered. Its host may
/// register late (`registerHost`), it may drop registrations after taking
/// them, as a panel that fails to set an item up does (`dropRegistrations`),
/// ignore them (`ignoreRegistrations`) or forget an item (`forget`).
/// `goAway()` and `comeBack()` play a panel that quits and starts again.
class FakeStatusNotifierWatcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    enum class Host { Registered, Late };

    /// Claims the name and serves the object at once; `isServing()` tells
    /// whether both worked.
    explicit FakeStatusNotifierWatcher(const QDBusConnection& connection,
                                       Host host = Host::Registered, QObject* parent = nullptr);
    ~FakeStatusNotifierWatcher() override;

    bool isServing() const { return m_serving; }
    /// The items listed, each once, oldest first, as "service/path".
    const QStringList& registeredItems() const { return m_items; }
    bool isHostRegistered() const { return m_hostRegistered; }
    int protocolVersion() const { return 0; }
    /// What each RegisterStatusNotifierItem call carried, oldest first.
    const QStringList& registrations() const { return m_registrations; }

    /// A host registers, and the watcher says so.
    void registerHost();
    /// The next `count` registrations are listed and then, `afterMs` later,
    /// dropped and announced as unregistered.
    void dropRegistrations(int count, int afterMs);
    /// While set, registrations are answered and nothing else happens.
    void ignoreRegistrations(bool ignore) { m_ignoring = ignore; }
    /// Drops a listed item, announcing it as unregistered.
    void forget(const QString& item);

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
    void dropService(const QString& service);

    QDBusConnection m_connection;
    QDBusServiceWatcher* m_itemWatcher;
    QStringList m_items;
    QStringList m_registrations;
    bool m_serving = false;
    bool m_hostRegistered;
    bool m_ignoring = false;
    int m_toDrop = 0;
    int m_dropAfter = 0;
};

} // namespace calidra
