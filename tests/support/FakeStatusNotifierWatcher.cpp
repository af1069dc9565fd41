// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeStatusNotifierWatcher.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace calidra {
namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");

} // namespace

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(const QDBusConnection& connection,
                                                     QObject* parent)
    : QObject(parent), m_connection(connection),
      m_itemWatcher(new QDBusServiceWatcher({}, connection,
                                            QDBusServiceWatcher::WatchForUnregistration, this))
{
    connect(m_itemWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &FakeStatusNotifierWatcher::dropItem);
    comeBack();
}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher()
{
    goAway();
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
    const QString name =
        service.startsWith(u'/') && calledFromDBus() ? message().service() : service;
    if (name.isEmpty() || m_items.contains(name)) {
        return;
    }
    m_items.append(name);
    m_itemWatcher->addWatchedService(name);
    emit StatusNotifierItemRegistered(name);
}

void FakeStatusNotifierWatcher::RegisterStatusNotifierHost(const QString&)
{
    emit StatusNotifierHostRegistered();
}

void FakeStatusNotifierWatcher::dropItem(const QString& service)
{
    if (m_items.removeAll(service) > 0) {
        m_itemWatcher->removeWatchedService(service);
        emit StatusNotifierItemUnregistered(service);
    }
}

} // namespace calidra
