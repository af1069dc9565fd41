// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tray.h"

#include "BusNames.h"
#include "QtTrayFace.h"
#include "SniTrayFace.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QFile>

namespace calidra {
namespace {

using BusNames::busCall;
using BusNames::WatcherPath;
using BusNames::WatcherService;

// Calls `method` without waiting and hands the reply message to `handle`,
// unless a newer check has started by then.
template <typename Handler>
void callThen(Tray* tray, const QDBusConnection& connection, const QDBusMessage& call,
              const quint64& check, Handler handle)
{
    const quint64 started = check;
    auto* pending = new QDBusPendingCallWatcher(connection.asyncCall(call), tray);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, tray,
                     [pending, started, &check, handle] {
                         pending->deleteLater();
                         if (started == check) {
                             handle(pending->reply());
                         }
                     });
}

// The first argument of a reply, unwrapped from a property's variant.
QVariant firstArgument(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    const QVariant value = reply.arguments().constFirst();
    return value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

// The short name the kernel keeps for a process, without its line feed.
QString programName(quint32 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(comm.read(64)).trimmed();
}

} // namespace

Tray::Tray(const StatusItem& item, const QDBusConnection& connection, const QString& currentDesktop,
           QObject* parent)
    : QObject(parent), m_item(item), m_connection(std::make_unique<QDBusConnection>(connection)),
      m_currentDesktop(currentDesktop)
{
    if (!connection.isConnected()) {
        useSystemTrayIcon();
        return;
    }
    m_watcher = new QDBusServiceWatcher(WatcherService, connection,
                                        QDBusServiceWatcher::WatchForOwnerChange, this);
    // A watcher that quit and came back knows nothing of the item, even when
    // its answers reach the item after both changes.
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        m_watcherOwner.clear();
        checkWatcher();
    });
    m_connection->connect(WatcherService, WatcherPath, WatcherService,
                          QStringLiteral("StatusNotifierHostRegistered"), this,
                          SLOT(checkWatcher()));
    checkWatcher();
}

Tray::Tray(const StatusItem& item, QObject* parent)
    : Tray(item, QDBusConnection::sessionBus(), qEnvironmentVariable("XDG_CURRENT_DESKTOP"), parent)
{}

Tray::~Tray() = default;

// The panels known by their program decide; any other program is judged by
// the desktop it runs on.
bool Tray::showsLabel(const QString& currentDesktop, const QString& watcherProgram)
{
    static const QStringList labelPrograms = {u"gnome-shell"_qs, u"budgie-panel"_qs,
                                              u"budgie-daemon"_qs};
    static const QStringList iconPrograms = {u"plasmashell"_qs, u"xfce4-panel"_qs,
                                             u"wrapper-2.0"_qs, u"lxqt-panel"_qs,
                                             u"snixembed"_qs,   u"waybar"_qs};
    static const QStringList labelDesktops = {u"GNOME"_qs, u"ubuntu"_qs, u"Unity"_qs, u"Budgie"_qs};
    if (labelPrograms.contains(watcherProgram) || iconPrograms.contains(watcherProgram)) {
        return labelPrograms.contains(watcherProgram);
    }
    const QStringList desktops = currentDesktop.split(u':', Qt::SkipEmptyParts);
    return std::any_of(desktops.begin(), desktops.end(), [](const QString& desktop) {
        return labelDesktops.contains(desktop, Qt::CaseInsensitive);
    });
}

// Who owns the watcher's name now; no one means the QSystemTrayIcon.
void Tray::checkWatcher()
{
    ++m_check;
    callThen(this, *m_connection, busCall(QStringLiteral("GetNameOwner"), {WatcherService}),
             m_check, [this](const QDBusMessage& reply) {
                 const QString owner = firstArgument(reply).toString();
                 owner.isEmpty() ? useSystemTrayIcon() : checkHost(owner);
             });
}

// A watcher without a host shows nothing: the item waits in the
// QSystemTrayIcon until a host registers.
void Tray::checkHost(const QString& owner)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        owner, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    call.setArguments({WatcherService, QStringLiteral("IsStatusNotifierHostRegistered")});
    callThen(this, *m_connection, call, m_check, [this, owner](const QDBusMessage& reply) {
        firstArgument(reply).toBool() ? checkLabel(owner) : useSystemTrayIcon();
    });
}

void Tray::checkLabel(const QString& owner)
{
    callThen(this, *m_connection, busCall(QStringLiteral("GetConnectionUnixProcessID"), {owner}),
             m_check, [this, owner](const QDBusMessage& reply) {
                 const QVariant pid = firstArgument(reply);
                 const QString program = pid.isValid() ? programName(pid.toUInt()) : QString();
                 useStatusNotifierItem(owner, showsLabel(m_currentDesktop, program));
             });
}

// A watcher that stays is not asked again; a new one (a panel that
// restarted) gets the item published anew.
void Tray::useStatusNotifierItem(const QString& owner, bool labelHost)
{
    if (owner != m_watcherOwner || !qobject_cast<SniTrayFace*>(m_face.get())) {
        m_watcherOwner = owner;
        m_face.reset(); // before the new face shows: never two items at once
        m_face = std::make_unique<SniTrayFace>(m_item, labelHost, *m_connection);
    }
}

void Tray::useSystemTrayIcon()
{
    m_watcherOwner.clear();
    if (!qobject_cast<QtTrayFace*>(m_face.get())) {
        m_face.reset();
        m_face = std::make_unique<QtTrayFace>(m_item);
    }
}

} // namespace calidra
