// SPDX-License-Identifier: GPL-3.0-or-later
#include "SniTrayFace.h"

#include "DBusMenuExporter.h"
#include "ItemRegistration.h"
#include "SniItemAdaptor.h"
#include "StatusItem.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>

namespace calidra {
namespace {

const QString ItemPath = QStringLiteral("/StatusNotifierItem");
// The panel's copy of the menu's texts is brought up to date this often at
// most while the values change: filling and sending the texts costs more
// than the rest of a sample, and texts some seconds old lay the menu out as
// wide as fresh ones, which AboutToShow brings when it opens.
constexpr int MenuRefreshInterval = 10000;

// A panel's position outside every screen is brought to the nearest edge, so
// that the menu opens where it can be seen.
QPoint onScreen(int x, int y)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {x, y};
    }
    const QRect desktop = screen->virtualGeometry();
    return {std::clamp(x, desktop.left(), desktop.right()),
            std::clamp(y, desktop.top(), desktop.bottom())};
}

} // namespace

SniTrayFace::SniTrayFace(const StatusItem& item, bool labelHost, const QDBusConnection& connection,
                         QObject* parent, const QList<int>& iconSides)
    : TrayFace(item, parent), m_connection(connection), m_labelHost(labelHost)
{
    new SniItemAdaptor(
        item, m_labelHost, [this](int x, int y) { activate(x, y); },
        [this](int x, int y) { popUpMenu(x, y); }, this, iconSides);
    connect(&item, &StatusItem::menuChanged, this, &SniTrayFace::exportMenu);
    m_menuRefresh.setSingleShot(true);
    m_menuRefresh.setInterval(MenuRefreshInterval);
    connect(&m_menuRefresh, &QTimer::timeout, this, [this] { this->item().validateMenu(); });
    connect(&item, &StatusItem::menuContentChanged, this, &SniTrayFace::scheduleMenuRefresh);
    exportMenu();
    if (!m_connection.isConnected()) {
        return;
    }
    m_published = m_connection.registerObject(ItemPath, this, QDBusConnection::ExportAdaptors);
    if (m_published) {
        m_registration = new ItemRegistration(m_connection, ItemPath, this);
        connect(m_registration, &ItemRegistration::listedChanged, this,
                &SniTrayFace::listedChanged);
    }
}

SniTrayFace::~SniTrayFace()
{
    if (m_published) {
        m_connection.unregisterObject(ItemPath);
    }
    m_menuExporter.reset();
}

QString SniTrayFace::serviceName() const
{
    if (!m_registration) {
        return {};
    }
    return m_registration->serviceName().isEmpty() ? m_connection.baseService()
                                                   : m_registration->serviceName();
}

bool SniTrayFace::isListed() const
{
    return m_registration && m_registration->isListed();
}

// The menu's items are filled before they are first exported, so that a
// panel that lays the menu out from its first read has every text.
void SniTrayFace::exportMenu()
{
    const StatusItem& item = this->item();
    m_menuExporter.reset();
    item.validateMenu();
    m_menuExporter = std::make_unique<DBusMenuExporter>(
        item.menu(), [&item] { item.validateMenu(); }, m_connection, SniItemAdaptor::MenuPath);
}

// Panels keep the texts they were last sent and open the menu with them
// before asking for fresh ones; the exporter sends only what changed.
void SniTrayFace::scheduleMenuRefresh()
{
    if (!m_menuRefresh.isActive()) {
        m_menuRefresh.start();
    }
}

// Queued, like the menu: the panel's call is answered first.
void SniTrayFace::activate(int x, int y)
{
    QMetaObject::invokeMethod(
        this,
        [this, x, y] {
            if (item().isActivatable()) {
                item().activate();
            } else {
                showMenu(x, y);
            }
        },
        Qt::QueuedConnection);
}

// The panel asked for the menu but did not open the exported one: the QMenu
// opens once the call is answered, so that the panel is not kept waiting.
void SniTrayFace::popUpMenu(int x, int y)
{
    QMetaObject::invokeMethod(
        this, [this, x, y] { showMenu(x, y); }, Qt::QueuedConnection);
}

void SniTrayFace::showMenu(int x, int y)
{
    QMenu* menu = item().menu();
    if (!menu || menu->isVisible()) {
        return;
    }
    item().validateMenu();
    menu->popup(onScreen(x, y));
}

} // namespace calidra
