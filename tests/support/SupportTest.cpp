// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Frame.h"
#include "support/ProcessWide.h"
#include "support/SharedWindow.h"

#include <QObject>
#include <gtest/gtest.h>

#include <optional>

namespace calidra {
namespace {

struct Current : ProcessWide<Current>
{};

TEST(ProcessWideTest, TheNewestObjectIsCurrentUntilItGoesThenTheOneBeforeIs)
{
    EXPECT_EQ(Current::current(), nullptr);
    {
        const Current first;
        {
            const Current second;
            EXPECT_EQ(Current::current(), &second);
        }
        EXPECT_EQ(Current::current(), &first);
    }
    EXPECT_EQ(Current::current(), nullptr);
}

struct Window : QObject
{
    void showWindow() { ++shown; }
    int shown = 0;
};

TEST(SharedWindowTest, AWindowIsMadeOnceShownEachTimeAndForgottenWhenDestroyed)
{
    SharedWindow<Window> shared;
    int made = 0;
    const auto make = [&made] {
        ++made;
        return new Window;
    };
    Window* first = shared.show(make);
    EXPECT_EQ(shared.show(make), first);
    EXPECT_EQ(std::pair(made, first->shown), std::pair(1, 2));
    delete first;
    EXPECT_EQ(shared.current(), nullptr);
    delete shared.show(make);
    EXPECT_EQ(made, 2);
}

TEST(FrameTest, ConvertsToQtsCoordinatesFromTheLowerLeftRoundingToPixels)
{
    EXPECT_EQ((Frame{7, 120, 326, 51}.toQt(179)), QRect(7, 8, 326, 51));
    EXPECT_EQ((Frame{0.4, 0.6, 10.5, 19.5}.toQt(100)), QRect(0, 80, 11, 20));
}

} // namespace
} // namespace calidra
