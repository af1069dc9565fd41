// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

class QDBusConnection;
class QDBusServiceWatcher;

namespace calidra {

class StatusItem;
class TrayFace;

/// Puts a StatusItem into the desktop's tray and keeps it there: the one
/// place that picks the face. While a StatusNotifierWatcher with a host runs
/// on the session bus the item is a StatusNotifierItem of its own; otherwise
/// it is a QSystemTrayIcon. When the watcher goes away (a panel restarting)
/// the item falls back to the QSystemTrayIcon, and when one comes (back) it
/// is published and registered anew.
class Tray : public QObject
{
    Q_OBJECT

public:
    /// Asks `connection`, without waiting, whether a watcher runs, and shows
    /// the face that fits once it knows; at once the QSystemTrayIcon when the
    /// connection is not connected. `currentDesktop` is XDG_CURRENT_DESKTOP's
    /// value, which helps tell whether the panel shows the item's label.
    Tray(const StatusItem& item, const QDBusConnection& connection, const QString& currentDesktop,
         QObject* parent = nullptr);
    /// The same on the session bus and this desktop.
    explicit Tray(const StatusItem& item, QObject* parent = nullptr);
    ~Tray() override;

    /// The face shown now; null until the bus has answered.
    TrayFace* face() const { return m_face.get(); }

    /// Whether a panel of this desktop, or the program `watcherProgram` that
    /// owns the watcher, shows a StatusNotifierItem's label beside its icon.
    static bool showsLabel(const QString& currentDesktop, const QString& watcherProgram);

private:
    void checkWatcher();
    void checkHost(const QString& owner);
    void checkLabel(const QString& owner);
    void useStatusNotifierItem(const QString& owner, bool labelHost);
    void useSystemTrayIcon();

    const StatusItem& m_item;
    std::unique_ptr<QDBusConnection> m_connection;
    QString m_currentDesktop;
    QString m_watcherOwner;
    QDBusServiceWatcher* m_watcher = nullptr;
    std::unique_ptr<TrayFace> m_face;
    // Counts the checks started, so that the answer to an older one is dropped.
    quint64 m_check = 0;
};

} // namespace calidra
