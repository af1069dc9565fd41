// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeStatusNotifierWatcher.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QRegularExpression>
#include <QTimer>

namespace calidra {
namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString DefaultItemPath = QStringLiteral("/StatusNotifierItem");

} // namespace

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(const QDBusConnection& connection, Host host,
                                                     QObject* parent)
    : QObject(parent), m_connection(connection),
      m_itemWatcher(new QDBusServiceWatcher({}, connection,
                                            QDBusServiceWatcher::WatchForUnregistration, this)),
      m_hostRegistered(host == Host::Registered)
{
    connect(m_itemWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &FakeStatusNotifierWatcher::dropService);
    comeBack();
}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher()
{
    goAway();
}

void FakeStatusNotifierWatcher::registerHost()
{
    m_hostRegistered = true;
    emit StatusNotifierHostRegistered();
}

void FakeStatusNotifierWatcher::dropRegistrations(int count, int afterMs)
{
    m_toDrop = count;
    m_dropAfter = afterMs;
}

void FakeStatusNotifierWatcher::forget(const QString& item)
{
    if (m_items.removeAll(item) > 0) {
        emit StatusNotifierItemUnregistered(item);
    }
}

void FakeStatusNotifierWatcher::goAway()
{
    if (!m_serving) {
        return;
    }
    m_serving = false;
    m_connection.unregisterObject(WatcherPath);
    m_connection.unregisterService(WatcherService);
    m_itemWatcher->setWatchedServices({});
    m_items.clear();
}

bool FakeStatusNotifierWatcher::comeBack()
{
    if (m_serving) {
        return true;
    }
    if (!m_connection.registerObject(WatcherPath, this,
                                     QDBusConnection::ExportScriptableContents)) {
        return false;
    }
    if (!m_connection.registerService(WatcherService)) {
        m_connection.unregisterObject(WatcherPath);
        return false;
    }
    m_serving = true;
    return true;
}

// An object path instead of a name stands for the caller's own connection.
void FakeStatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service)
{
    m_registrations.append(service);
    const bool path = service.startsWith(u'/');
    const QString name = path && calledFromDBus() ? message().service() : service;
    const QString item = name + (path ? service : DefaultItemPath);
    if (m_ignoring || name.isEmpty() || m_items.contains(item)) {
        return;
    }
    m_items.append(item);
    m_itemWatcher->addWatchedService(name);
    emit StatusNotifierItemRegistered(item);
    if (m_toDrop > 0) {
        --m_toDrop;
        QTimer::singleShot(m_dropAfter, this, [this, item] { forget(item); });
    }
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierHost(const QString&)
{
    registerHost();
}

void FakeStatusNotifierWatcher::dropService(const QString& service)
{
    const QStringList gone =
        m_items.filter(QRegularExpression(u"^"_qs + QRegularExpression::escape(service) + u"/"_qs));
    for (const QString& item : gone) {
        forget(item);
    }
    m_itemWatcher->removeWatchedService(service);
}

} // namespace calidra
