// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TrayFace.h"

#include <QDBusConnection>

#include <memory>

namespace calidra {

class DBusMenuExporter;

/// The face for panels that host StatusNotifierItems: the item is published
/// on `connection` under a name of its own ("org.kde.StatusNotifierItem-
/// <pid>-<n>") at "/StatusNotifierItem", its menu exported at "/MenuBar", and
/// registered with the org.kde.StatusNotifierWatcher. A panel that shows the
/// item's label (`labelHost`) gets the values as the label and the item's
/// image as the icon; any other panel gets the values drawn as the icon.
/// Changes are signalled only when what the panel reads really changed; no
/// call ever blocks.
class SniTrayFace : public TrayFace
{
    Q_OBJECT

public:
    SniTrayFace(const StatusItem& item, bool labelHost, const QDBusConnection& connection,
                QObject* parent = nullptr);
    ~SniTrayFace() override;

    /// The bus name the item is published under: the name asked for, from
    /// construction on; empty on a connection that is not connected and once
    /// the bus refused the name (the item is then registered by its path).
    const QString& serviceName() const { return m_serviceName; }

private:
    void claimName();
    void registerWithWatcher(const QString& service);
    void exportMenu();
    void popUpMenu(int x, int y);
    void showMenu(int x, int y);

    QDBusConnection m_connection;
    QString m_serviceName;
    bool m_labelHost;
    bool m_published = false;
    std::unique_ptr<DBusMenuExporter> m_menuExporter;
};

} // namespace calidra
