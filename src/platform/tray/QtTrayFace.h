// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecentlyShown.h"
#include "TrayFace.h"

#include <QPointer>
#include <QSystemTrayIcon>

#include <tuple>

class QMenu;

namespace calidra {

/// The face for trays that embed icon windows (XEmbed), and for any desktop
/// without a StatusNotifierItem watcher: a QSystemTrayIcon whose icon is the
/// title's face, drawn at whatever size the tray paints it (so the tray is
/// never asked for its geometry; the icons of the last few titles are kept
/// with the faces they drew, so a title shown again draws nothing), the
/// title and tooltip as the tooltip (set on the icon only when its text
/// changed), the
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

    /// Icons by the values, image and alarm they show.
    using Face = std::tuple<QStringList, qint64, bool>;
    static constexpr qsizetype KeptFaces = 8;

    QSystemTrayIcon* m_trayIcon;
    QString m_toolTip;
    RecentlyShown<Face, QIcon, KeptFaces> m_faces;
    QPointer<QMenu> m_menu;
    QMetaObject::Connection m_menuConnection;
};

} // namespace calidra
