// SPDX-License-Identifier: GPL-3.0-or-later
#include "preferences/PaneSwitcher.h"

#include <QAction>
#include <QMainWindow>
#include <gtest/gtest.h>

#include <ostream>

namespace calidra {

void PrintTo(const Frame& frame, std::ostream* out)
{
    *out << '(' << frame.x << ", " << frame.y << ", " << frame.width << ", " << frame.height << ')';
}

namespace {

TEST(PaneSwitcherTest, NextFrameKeepsBorderTopEdgeAndCentre)
{
    // clang-format off
    const struct { const char* name; Frame window; QSizeF content, pane; Frame next; } cases[] = {
        {"shorter",           {100, 200, 420, 440}, {415, 358}, {415, 240}, {100,   318, 420, 322}},
        {"taller",            {100, 318, 420, 322}, {415, 240}, {415, 358}, {100,   200, 420, 440}},
        {"narrower, odd",     {100, 200, 420, 440}, {415, 358}, {400, 358}, {107.5, 200, 405, 440}},
        {"wider and shorter", {100, 200, 420, 440}, {415, 358}, {515, 300}, {50,    258, 520, 382}},
    };
    // clang-format on
    for (const auto& [name, window, content, pane, next] : cases)
        EXPECT_EQ(PaneSwitcher::nextWindowFrame(window, content, pane), next) << name;
}

TEST(PaneSwitcherTest, ShowsThePaneOfAnItemAndTheFirstForAnyOther)
{
    QMainWindow window;
    auto* switcher = new PaneSwitcher(&window, u"toolbar"_qs);
    switcher->setResizeDuration(0);
    window.show();
    QAction stray;
    switcher->showPane(&stray);
    EXPECT_EQ(switcher->state(), -1) << "no pane yet";

    auto* first = new QWidget;
    auto* second = new QWidget;
    switcher->addPane(u"first"_qs, "First", "", u"none"_qs, first, QSizeF(300, 200));
    QAction* item =
        switcher->addPane(u"second"_qs, "Second", "", u"none"_qs, second, QSizeF(300, 100));
    EXPECT_FALSE(first->isVisible());
    switcher->showPane(item);
    EXPECT_EQ(switcher->state(), 1);
    EXPECT_EQ(window.centralWidget(), second);
    EXPECT_EQ(second->size(), QSize(300, 100));
    switcher->showPane(&stray);
    EXPECT_EQ(switcher->state(), 0);
    EXPECT_EQ(window.centralWidget(), first);
    EXPECT_EQ(first->size(), QSize(300, 200));
    EXPECT_EQ(second->parent(), &window) << "a pane not shown stays the window's";
}

} // namespace
} // namespace calidra
