#pragma once

#include <QFont>
#include <QMetaObject>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <functional>

class QMenu;
class QSystemTrayIcon;

namespace calidra {

class StatusItem;

/// The tray face of a StatusItem: a QSystemTrayIcon, owned as a child, whose
/// icon is the title drawn in its font (one or two lines) with the image to
/// its left, shrunk to fit the square slot a tray gives an icon, white with a
/// dark halo so that it reads on light and dark panels.
/// The plain title is the tooltip and the item's menu the context menu.
/// Needs a QApplication.
class StatusItemFace : public QObject
{
    Q_OBJECT

public:
    /// Makes the tray icon, hidden until the first show().
    explicit StatusItemFace(QObject* parent = nullptr);

    /// Brings the tray icon up to date with `item`: redraws the face only when
    /// its text, font or image (or the tray's height or pixel ratio) changed
    /// since the last call, sets the tooltip and the context menu, and shows
    /// the icon while the item is enabled and hides it otherwise.
    void show(const StatusItem& item);

    /// Sets what runs right before the attached menu opens, on every opening;
    /// an empty function for nothing. It follows the menu when that changes.
    void setMenuValidator(std::function<void()> validator);

    /// The last face drawn; null before the first show().
    QPixmap renderedFace() const { return m_face; }

    /// How many times a face was drawn.
    int drawCount() const { return m_drawCount; }

private:
    void attachMenu(QMenu* menu);

    QSystemTrayIcon* m_trayIcon;
    QPointer<QMenu> m_menu;
    QMetaObject::Connection m_menuConnection;
    std::function<void()> m_validator;
    QPixmap m_face;
    int m_drawCount = 0;
    // What the last face was drawn from.
    QString m_drawnText;
    QFont m_drawnFont;
    qint64 m_drawnImageKey = 0;
    int m_drawnHeight = 0;
    qreal m_drawnPixelRatio = 0;
};

} // namespace calidra
