// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Frame.h"

#include <QObject>
#include <QSizeF>

#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMainWindow;
class QRect;
class QToolBar;
class QWidget;

namespace calidra {

/// Shows one pane at a time as the content of a window, chosen by a toolbar of
/// checkable items, and gives the window each pane's fixed content size with
/// an animated resize that keeps the window's top edge and horizontal centre.
/// Ctrl+Tab and Ctrl+PgDn go to the next pane, Ctrl+Shift+Tab and Ctrl+PgUp to
/// the previous one, and each item's mnemonic to its pane. Lives as a child of
/// the window. Main thread only.
class PaneSwitcher : public QObject
{
    Q_OBJECT

public:
    /// How long a pane switch resizes the window, in milliseconds.
    static constexpr int DefaultResizeDuration = 200;

    /// A switcher over `window`, to which it adds an empty toolbar named
    /// `toolbarName`, and whose content it becomes: a blank until the first
    /// showPane().
    PaneSwitcher(QMainWindow* window, const QString& toolbarName);

    /// Adds the toolbar item `identifier` (its object name) with the
    /// translations of `label` and `toolTip` and the bundle's SVG image
    /// `image` (none where the bundle has none), showing `view` at content
    /// size `size`. The view becomes the window's child, hidden until shown.
    /// Gives the item.
    QAction* addPane(const QString& identifier, const char* label, const char* toolTip,
                     const QString& image, QWidget* view, QSizeF size);

    /// Shows the pane of a toolbar item, the first pane for an item it did
    /// not add, and checks the item. The pane already shown stays as it is;
    /// before a pane is added nothing happens.
    void showPane(QAction* item);

    /// Sets the length of the resize; 0 switches at once.
    void setResizeDuration(int milliseconds) { m_resizeDuration = milliseconds; }

    /// The pane shown, as its place in the order added: -1 for none (also
    /// during a switch).
    int state() const { return windowState; }

    /// The window's frame after switching to content of size `pane`: border
    /// and toolbar keep their size, the top edge and the horizontal centre
    /// stay where they are.
    static Frame nextWindowFrame(const Frame& window, QSizeF content, QSizeF pane);

private:
    struct Pane
    {
        QAction* item;
        QWidget* view;
        QSizeF size;
    };

    void addPaneShortcuts();
    void showAdjacentPane(int step);
    void showNextView(QWidget* view, int state);
    void replaceContent(QWidget* view);
    void resizeWindow(const QRect& geometry);

    QMainWindow* m_window;
    QToolBar* m_toolbar;
    QActionGroup* m_items;
    std::vector<Pane> m_panes;
    QLabel* intermediaryView;
    int windowState = -1;
    int m_resizeDuration = DefaultResizeDuration;
};

} // namespace calidra
