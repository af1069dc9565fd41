// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TrayFace.h"

#include <QPointer>
#include <QSystemTrayIcon>

class QMenu;

namespace calidra {

/// The face for trays that embed icon windows (XEmbed), and for any desktop
/// without a StatusNotifierItem watcher: a QSystemTrayIcon whose icon is the
/// title's face, drawn at whatever size the tray paints it (so the tray is
/// never asked for its geometry), the title and tooltip as the tooltip (set
/// on the icon only when its text changed), the
/// item's menu as the context menu, and a left click that opens that menu at
/// the icon too. Needs a QApplication.
class QtTrayFace : public TrayFace
{
    Q_OBJECT

public:
    explicit QtTrayFace(const StatusItem& item, QObject* parent = nullptr);

    /// The icon the tray draws now.
    QIcon icon() const { return m_trayIcon->icon(); }
    /// The tooltip the tray shows now.
    QString toolTip() const { return m_trayIcon->toolTip(); }

private:
    void showTitle();
    void showToolTip();
    void attachMenu();
    void activate(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* m_trayIcon;
    QString m_toolTip;
    QPointer<QMenu> m_menu;
    QMetaObject::Connection m_menuConnection;
};

} // namespace calidra
