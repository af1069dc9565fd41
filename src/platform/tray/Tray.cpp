// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tray.h"

#include "BusNames.h"
#include "QtTrayFace.h"
#include "SessionBus.h"
#include "SniTrayFace.h"
#include "TrayLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QFile>
#include <QSystemTrayIcon>

namespace calidra {
namespace {

using BusNames::busCall;
using BusNames::WatcherPath;
using BusNames::WatcherService;

// While the item is unseen, a system tray that comes is looked for this often.
constexpr int UnseenCheckInterval = 2000;

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

Tray::Environment Tray::Environment::current()
{
    return {QString(), qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
            &QSystemTrayIcon::isSystemTrayAvailable, std::chrono::seconds(10)};
}

Tray::Tray(const StatusItem& item, Environment environment, QObject* parent)
    : QObject(parent), m_item(item), m_environment(std::move(environment)),
      m_bus(std::make_unique<SessionBus>(m_environment.busAddress))
{
    connect(m_bus.get(), &SessionBus::connected, this, &Tray::watchBus);
    connect(m_bus.get(), &SessionBus::disconnected, this, [this] {
        qCDebug(trayLog) << "the session bus dropped the program: the system tray icon stands in";
        delete m_watcher;
        m_watcher = nullptr;
        ++m_check;
        useSystemTrayIcon();
    });
    m_noticeTimer.setSingleShot(true);
    connect(&m_noticeTimer, &QTimer::timeout, this, &Tray::checkShown);
    m_noticeTimer.start(m_environment.noticeDelay);
    if (m_bus->isConnected()) {
        watchBus();
    } else {
        useSystemTrayIcon();
    }
}

Tray::Tray(const StatusItem& item, QObject* parent) : Tray(item, Environment::current(), parent)
{}

Tray::~Tray() = default;

bool Tray::isShown() const
{
    if (const auto* item = qobject_cast<const SniTrayFace*>(m_face.get())) {
        return item->isListed();
    }
    return m_face && m_environment.systemTrayAvailable && m_environment.systemTrayAvailable();
}

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

// waybar draws the largest picture an item offers, scaled down to its icon
// size (16 pixels unless configured): a face laid out for 48 pixels would
// show there with lines too small to read.
QList<int> Tray::iconSidesFor(const QString& watcherProgram)
{
    return watcherProgram == u"waybar"_qs ? QList<int>{16} : QList<int>{};
}

// A watcher that quit and came back knows nothing of the item, even when its
// answers reach the item after both changes. A host that registers late
// makes a watcher without one worth using.
void Tray::watchBus()
{
    delete m_watcher;
    m_watcherOwner.clear();
    QDBusConnection connection = m_bus->connection();
    m_watcher = new QDBusServiceWatcher(WatcherService, connection,
                                        QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        m_watcherOwner.clear();
        checkWatcher();
    });
    connection.connect(WatcherService, WatcherPath, WatcherService,
                       QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(checkWatcher()));
    checkWatcher();
}

// Who owns the watcher's name now; no one means the QSystemTrayIcon.
void Tray::checkWatcher()
{
    ++m_check;
    callThen(this, m_bus->connection(), busCall(QStringLiteral("GetNameOwner"), {WatcherService}),
             m_check, [this](const QDBusMessage& reply) {
                 const QString owner = firstArgument(reply).toString();
                 qCDebug(trayLog) << "StatusNotifierWatcher owner:"
                                  << (owner.isEmpty() ? u"none"_qs : owner);
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
    callThen(this, m_bus->connection(), call, m_check, [this, owner](const QDBusMessage& reply) {
        const bool host = firstArgument(reply).toBool();
        qCDebug(trayLog) << "a host registered with the watcher:" << host;
        host ? checkLabel(owner) : useSystemTrayIcon();
    });
}

void Tray::checkLabel(const QString& owner)
{
    callThen(
        this, m_bus->connection(), busCall(QStringLiteral("GetConnectionUnixProcessID"), {owner}),
        m_check, [this, owner](const QDBusMessage& reply) {
            const QVariant pid = firstArgument(reply);
            useStatusNotifierItem(owner, pid.isValid() ? programName(pid.toUInt()) : QString());
        });
}

// A watcher that stays is not asked again; a new one (a panel that
// restarted) gets the item published anew.
void Tray::useStatusNotifierItem(const QString& owner, const QString& program)
{
    if (owner == m_watcherOwner && qobject_cast<SniTrayFace*>(m_face.get())) {
        return;
    }
    m_watcherOwner = owner;
    m_face.reset(); // before the new face shows: never two items at once
    auto face =
        std::make_unique<SniTrayFace>(m_item, showsLabel(m_environment.currentDesktop, program),
                                      m_bus->connection(), nullptr, iconSidesFor(program));
    connect(face.get(), &SniTrayFace::listedChanged, this, &Tray::checkShown);
    setFace(std::move(face));
}

void Tray::useSystemTrayIcon()
{
    m_watcherOwner.clear();
    if (!qobject_cast<QtTrayFace*>(m_face.get())) {
        qCDebug(trayLog) << "system tray icon (XEmbed)";
        m_face.reset();
        setFace(std::make_unique<QtTrayFace>(m_item));
    }
}

void Tray::setFace(std::unique_ptr<TrayFace> face)
{
    m_face = std::move(face);
    checkShown();
}

// Quiet until the first look; after an unseen one, the first sight ends it,
// and nothing is said again.
void Tray::checkShown()
{
    if (m_notice == Notice::Waiting && !m_noticeTimer.isActive()) {
        m_notice = isShown() ? Notice::Settled : Notice::Unseen;
        if (m_notice == Notice::Unseen) {
            qCDebug(trayLog) << "the item is shown nowhere";
            m_noticeTimer.setSingleShot(false);
            m_noticeTimer.start(UnseenCheckInterval);
            emit unseen();
        }
    } else if (m_notice == Notice::Unseen && isShown()) {
        m_notice = Notice::Settled;
        m_noticeTimer.stop();
        emit seen();
    }
}

} // namespace calidra
