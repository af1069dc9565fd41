// SPDX-License-Identifier: GPL-3.0-or-later
#include "PaneSwitcher.h"

#include "platform/Bundle.h"
#include "platform/Localization.h"

#include <QAction>
#include <QActionGroup>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QPropertyAnimation>
#include <QScreen>
#include <QShortcut>
#include <QToolBar>

#include <algorithm>
#include <utility>

namespace calidra {
namespace {

// The screen's height in points, the parent of every window frame.
double screenHeight()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

} // namespace

PaneSwitcher::PaneSwitcher(QMainWindow* window, const QString& toolbarName)
    : QObject(window), m_window(window), m_toolbar(window->addToolBar(QString())),
      m_items(new QActionGroup(m_toolbar)), intermediaryView(new QLabel(window))
{
    m_toolbar->setObjectName(toolbarName);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->toggleViewAction()->setEnabled(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_window->setContextMenuPolicy(Qt::NoContextMenu);
    intermediaryView->setAlignment(Qt::AlignCenter);
    // The first switch measures the window's content to keep its border.
    m_window->setCentralWidget(intermediaryView);
    addPaneShortcuts();
}

QAction* PaneSwitcher::addPane(const QString& identifier, const char* label, const char* toolTip,
                               const QString& image, QWidget* view, QSizeF size)
{
    auto* item = new QAction(localizedString(label), m_window);
    item->setObjectName(identifier);
    item->setToolTip(localizedString(toolTip));
    item->setCheckable(true);
    item->setShortcut(QKeySequence::mnemonic(item->text()));
    const Bundle* bundle = Bundle::mainBundle();
    if (const auto path = bundle ? bundle->pathForResource(image, u"svg"_qs) : std::nullopt) {
        item->setIcon(QIcon(*path));
    }
    connect(item, &QAction::triggered, this, [this, item] { showPane(item); });
    m_items->addAction(item);
    m_toolbar->addAction(item);
    view->setParent(m_window);
    view->hide();
    m_panes.push_back({item, view, size});
    return item;
}

// As in tabbed windows.
void PaneSwitcher::addPaneShortcuts()
{
    const std::pair<QKeySequence, int> steps[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& [keys, step] : steps) {
        auto* shortcut = new QShortcut(keys, m_window);
        connect(shortcut, &QShortcut::activated, this,
                [this, step = step] { showAdjacentPane(step); });
    }
}

void PaneSwitcher::showAdjacentPane(int step)
{
    if (windowState < 0) {
        return;
    }
    const int count = int(m_panes.size());
    showPane(m_panes[std::size_t((windowState + step + count) % count)].item);
}

void PaneSwitcher::showPane(QAction* item)
{
    if (m_panes.empty()) {
        return;
    }
    const auto found = std::find_if(m_panes.begin(), m_panes.end(),
                                    [item](const Pane& pane) { return pane.item == item; });
    const std::size_t state = found == m_panes.end() ? 0 : std::size_t(found - m_panes.begin());
    intermediaryView->setPixmap(item->icon().pixmap(48, 48));
    showNextView(m_panes[state].view, int(state));
    item->setChecked(true);
}

Frame PaneSwitcher::nextWindowFrame(const Frame& window, QSizeF content, QSizeF pane)
{
    return {window.x + (pane.width() - content.width()) * -0.5,
            window.y - (pane.height() - content.height()),
            window.width - content.width() + pane.width(),
            window.height - content.height() + pane.height()};
}

void PaneSwitcher::showNextView(QWidget* view, int state)
{
    if (state == windowState) {
        return;
    }
    const double parentHeight = screenHeight();
    m_window->layout()->activate();
    const QRect now = m_window->geometry();
    const Frame window{double(now.x()), parentHeight - now.y() - now.height(), double(now.width()),
                       double(now.height())};
    const QWidget* content = m_window->centralWidget();
    const QSizeF contentSize = content ? QSizeF(content->size()) : QSizeF(0, 0);
    const Frame next = nextWindowFrame(window, contentSize, m_panes[std::size_t(state)].size);

    windowState = -1;
    replaceContent(intermediaryView);
    m_window->setMinimumSize(32, 32);
    m_window->repaint();
    resizeWindow(next.toQt(parentHeight));
    replaceContent(view);
    windowState = state;
}

void PaneSwitcher::replaceContent(QWidget* view)
{
    // The window gives up the content it hands back; it stays the window's, hidden.
    if (QWidget* former = m_window->takeCentralWidget()) {
        former->setParent(m_window);
        former->hide();
    }
    m_window->setCentralWidget(view);
    view->show();
}

void PaneSwitcher::resizeWindow(const QRect& geometry)
{
    if (m_resizeDuration <= 0 || !m_window->isVisible()) {
        m_window->setGeometry(geometry);
        return;
    }
    QPropertyAnimation animation(m_window, "geometry");
    animation.setDuration(m_resizeDuration);
    animation.setEndValue(geometry);
    QEventLoop loop;
    connect(&animation, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    animation.start();
    loop.exec();
}

} // namespace calidra
