// SPDX-License-Identifier: GPL-3.0-or-later
#include "SniTrayFace.h"

#include "BusNames.h"
#include "DBusMenuExporter.h"
#include "SniItemAdaptor.h"
#include "StatusItem.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>

namespace calidra {
namespace {

using BusNames::busCall;
using BusNames::WatcherPath;
using BusNames::WatcherService;

const QString ItemPath = QStringLiteral("/StatusNotifierItem");

// RequestName's flag that refuses to wait in line for a taken name, and its
// answers for a name this connection owns.
constexpr uint DoNotQueue = 4;
constexpr uint PrimaryOwner = 1;
constexpr uint AlreadyOwner = 4;

// Each face of the process gets a name of its own, so that a new face never
// has to wait for the bus to take the old one's name back.
QString nextServiceName()
{
    static int made = 0;
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++made);
}

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
                         QObject* parent)
    : TrayFace(item, parent), m_connection(connection), m_labelHost(labelHost)
{
    new SniItemAdaptor(
        item, m_labelHost, [this](int x, int y) { popUpMenu(x, y); }, this);
    connect(&item, &StatusItem::menuChanged, this, &SniTrayFace::exportMenu);
    exportMenu();
    if (!m_connection.isConnected()) {
        return;
    }
    m_published = m_connection.registerObject(ItemPath, this, QDBusConnection::ExportAdaptors);
    if (m_published) {
        claimName();
    }
}

// The name is given back without waiting; the bus handles the request after
// any claim still on its way.
SniTrayFace::~SniTrayFace()
{
    if (m_published) {
        m_connection.unregisterObject(ItemPath);
    }
    m_menuExporter.reset();
    if (!m_serviceName.isEmpty()) {
        m_connection.send(busCall(QStringLiteral("ReleaseName"), {m_serviceName}));
    }
}

// The name is asked for without waiting. When it is taken, the item is
// registered by its path alone, and the watcher takes the connection's own
// name.
void SniTrayFace::claimName()
{
    m_serviceName = nextServiceName();
    auto* pending = new QDBusPendingCallWatcher(
        m_connection.asyncCall(busCall(QStringLiteral("RequestName"), {m_serviceName, DoNotQueue})),
        this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        const QDBusPendingReply<uint> reply = *pending;
        const bool owned =
            reply.isValid() && (reply.value() == PrimaryOwner || reply.value() == AlreadyOwner);
        if (!owned) {
            m_serviceName.clear();
        }
        registerWithWatcher(owned ? m_serviceName : ItemPath);
    });
}

// No answer is awaited: without a watcher there is nobody to tell, and the
// program does not start one.
void SniTrayFace::registerWithWatcher(const QString& service)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, WatcherService, QStringLiteral("RegisterStatusNotifierItem"));
    call.setArguments({service});
    call.setAutoStartService(false);
    m_connection.send(call);
}

void SniTrayFace::exportMenu()
{
    const StatusItem& item = this->item();
    m_menuExporter.reset();
    m_menuExporter = std::make_unique<DBusMenuExporter>(
        item.menu(), [&item] { item.validateMenu(); }, m_connection, SniItemAdaptor::MenuPath);
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
