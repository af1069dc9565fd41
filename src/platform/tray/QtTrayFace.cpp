// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTrayFace.h"

#include "StatusItem.h"
#include "TitleRenderer.h"

#include <QMenu>

namespace calidra {

QtTrayFace::QtTrayFace(const StatusItem& item, QObject* parent)
    : TrayFace(item, parent), m_trayIcon(new QSystemTrayIcon(this))
{
    connect(&item, &StatusItem::titleChanged, this, &QtTrayFace::showTitle);
    connect(&item, &StatusItem::toolTipChanged, this, &QtTrayFace::showToolTip);
    connect(&item, &StatusItem::menuChanged, this, &QtTrayFace::attachMenu);
    connect(&item, &StatusItem::enabledChanged, this,
            [this] { m_trayIcon->setVisible(this->item().isEnabled()); });
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &QtTrayFace::activate);
    showTitle();
    attachMenu();
    m_trayIcon->setVisible(item.isEnabled());
}

void QtTrayFace::showTitle()
{
    const StatusItem& shown = item();
    Face face{shown.values(), shown.image().cacheKey(), shown.alarm()};
    const QIcon* kept = m_faces.find(face);
    m_trayIcon->setIcon(
        kept ? *kept
             : m_faces.keep(std::move(face),
                            TitleRenderer::icon(shown.values(), shown.image(), shown.alarm())));
    showToolTip();
}

// The tray's tooltip is plain text: the program's name, then the item's
// tooltip, or the one-line title while the item has no tooltip.
void QtTrayFace::showToolTip()
{
    const QString text = item().toolTip().isEmpty() ? QString(item().title()).replace(u'\n', u' ')
                                                    : item().toolTip();
    QString toolTip =
        text.isEmpty() ? QStringLiteral("Calidra") : QStringLiteral("Calidra\n") + text;
    if (toolTip != m_toolTip) {
        m_toolTip = std::move(toolTip);
        m_trayIcon->setToolTip(m_toolTip);
    }
}

void QtTrayFace::attachMenu()
{
    QMenu* menu = item().menu();
    disconnect(m_menuConnection);
    m_menu = menu;
    m_trayIcon->setContextMenu(menu);
    if (menu) {
        m_menuConnection =
            connect(menu, &QMenu::aboutToShow, this, [this] { this->item().validateMenu(); });
    }
}

// A left click opens the menu as a right click does: the item is a menu.
void QtTrayFace::activate(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger && m_menu && !m_menu->isVisible()) {
        m_menu->popup(m_trayIcon->geometry().center());
    }
}

} // namespace calidra
