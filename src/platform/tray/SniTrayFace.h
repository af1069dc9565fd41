// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TrayFace.h"

#include <QDBusConnection>
#include <QTimer>

#include <memory>

namespace calidra {

class DBusMenuExporter;
class ItemRegistration;

/// The face for panels that host StatusNotifierItems: the item is published
/// on `connection` at "/StatusNotifierItem", its menu exported at "/MenuBar"
/// with every item's text from the start (and fresh ones at most ten seconds
/// after the item announces new menu content), and kept registered with the
/// org.kde.StatusNotifierWatcher until the watcher lists it (ItemRegistration).
/// A panel that shows the item's label (`labelHost`) gets the values as the
/// label and the item's image as the icon; any other panel gets the values
/// drawn as the icon, at `iconSides` (pixels; the usual sizes when empty).
/// Activate, a panel's primary click, activates the item (the menu opens
/// instead when the item does nothing on activation); ContextMenu opens the
/// menu. Changes are signalled only when what the panel reads really changed;
/// no call ever blocks.
class SniTrayFace : public TrayFace
{
    Q_OBJECT

public:
    SniTrayFace(const StatusItem& item, bool labelHost, const QDBusConnection& connection,
                QObject* parent = nullptr, const QList<int>& iconSides = {});
    ~SniTrayFace() override;

    /// The bus name the item can be reached under: the connection's own
    /// unique name, or a well-known name the registration claimed; empty on a
    /// connection that is not connected or where the item could not be
    /// published.
    QString serviceName() const;
    /// Whether the watcher lists the item, as far as is known.
    bool isListed() const;

signals:
    void listedChanged(bool listed);

private:
    void exportMenu();
    void scheduleMenuRefresh();
    void activate(int x, int y);
    void popUpMenu(int x, int y);
    void showMenu(int x, int y);

    QDBusConnection m_connection;
    bool m_labelHost;
    bool m_published = false;
    std::unique_ptr<DBusMenuExporter> m_menuExporter;
    QTimer m_menuRefresh;
    ItemRegistration* m_registration = nullptr;
};

} // namespace calidra
