// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class QDBusServiceWatcher;

namespace calidra {

class SessionBus;
class StatusItem;
class TrayFace;

/// Puts a StatusItem into the desktop's tray and keeps it there: the one
/// place that picks the face. While a StatusNotifierWatcher with a host runs
/// on the session bus the item is a StatusNotifierItem of its own; otherwise
/// it is a QSystemTrayIcon. When the watcher goes away (a panel restarting)
/// the item falls back to the QSystemTrayIcon, and when one comes (back), or
/// a host registers with it, the item is published and registered anew. When
/// the bus drops the program the item falls back to the QSystemTrayIcon too,
/// and is published again once the bus is back.
///
/// Some time after it starts, the tray tells once whether the item is shown
/// nowhere (`unseen`): no watcher lists it and no system tray holds its icon;
/// and then when it is shown after all (`seen`).
class Tray : public QObject
{
    Q_OBJECT

public:
    /// What the tray needs of the session it runs in.
    struct Environment
    {
        /// The session bus's address; empty for the user's own.
        QString busAddress;
        /// XDG_CURRENT_DESKTOP's value, which helps tell whether the panel
        /// shows the item's label.
        QString currentDesktop;
        /// Whether a system tray (XEmbed) would hold a QSystemTrayIcon now.
        std::function<bool()> systemTrayAvailable;
        /// How long after the start the item may stay unseen before `unseen`.
        std::chrono::milliseconds noticeDelay{10000};

        /// This session's: its bus, XDG_CURRENT_DESKTOP, and Qt's answer on
        /// the system tray.
        static Environment current();
    };

    /// Asks the bus, without waiting, whether a watcher runs, and shows the
    /// face that fits once it knows; at once the QSystemTrayIcon when there is
    /// no bus.
    Tray(const StatusItem& item, Environment environment, QObject* parent = nullptr);
    /// The same in this session.
    explicit Tray(const StatusItem& item, QObject* parent = nullptr);
    ~Tray() override;

    /// The face shown now; null until the bus has answered.
    TrayFace* face() const { return m_face.get(); }
    /// The connection the tray speaks on.
    const SessionBus& bus() const { return *m_bus; }
    /// Whether the item is shown: a StatusNotifierItem that the watcher lists,
    /// or a QSystemTrayIcon while a system tray exists.
    bool isShown() const;

    /// Whether a panel of this desktop, or the program `watcherProgram` that
    /// owns the watcher, shows a StatusNotifierItem's label beside its icon.
    static bool showsLabel(const QString& currentDesktop, const QString& watcherProgram);
    /// The sizes to offer the pictures at for the panel program
    /// `watcherProgram`: only its slot's size for a panel that scales the
    /// largest picture down to it; empty for the usual sizes.
    static QList<int> iconSidesFor(const QString& watcherProgram);

signals:
    /// The item is shown nowhere, some time after the start; said once.
    void unseen();
    /// The item is shown after `unseen`.
    void seen();

private slots:
    void checkWatcher();

private:
    void watchBus();
    void checkHost(const QString& owner);
    void checkLabel(const QString& owner);
    void useStatusNotifierItem(const QString& owner, const QString& program);
    void useSystemTrayIcon();
    void setFace(std::unique_ptr<TrayFace> face);
    void checkShown();

    const StatusItem& m_item;
    Environment m_environment;
    std::unique_ptr<SessionBus> m_bus;
    QString m_watcherOwner;
    QDBusServiceWatcher* m_watcher = nullptr;
    // After the bus: a face goes before the connection it speaks on.
    std::unique_ptr<TrayFace> m_face;
    // Counts the checks started, so that the answer to an older one is dropped.
    quint64 m_check = 0;
    // Whether the item was seen: not looked at yet, unseen at the first look,
    // or settled once it was seen. While unseen it is looked for regularly,
    // for a system tray that comes.
    enum class Notice { Waiting, Unseen, Settled };
    Notice m_notice = Notice::Waiting;
    QTimer m_noticeTimer;
};

} // namespace calidra
