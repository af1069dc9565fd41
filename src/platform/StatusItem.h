#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

class QMenu;

namespace calidra {

/// What the program shows in the system tray: a title (its text in its
/// font), an image drawn to the left of it, the menu that opens from it,
/// whether it is enabled and whether it highlights while the menu is open.
/// It holds the state only; the tray face draws it.
class StatusItem
{
public:
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    const QFont& font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }

    /// The image beside the title; a null icon for none.
    const QIcon& image() const { return m_image; }
    void setImage(const QIcon& image) { m_image = image; }

    /// The menu, which the item does not own; null for none.
    QMenu* menu() const { return m_menu; }
    void setMenu(QMenu* menu) { m_menu = menu; }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    bool highlightMode() const { return m_highlightMode; }
    void setHighlightMode(bool highlightMode) { m_highlightMode = highlightMode; }

private:
    QString m_title;
    QFont m_font;
    QIcon m_image;
    QMenu* m_menu = nullptr;
    bool m_enabled = true;
    bool m_highlightMode = false;
};

} // namespace calidra
