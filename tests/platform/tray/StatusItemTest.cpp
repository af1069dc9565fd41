// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/StatusItem.h"

#include <gtest/gtest.h>

#include <functional>

namespace calidra {
namespace {

// What the item announced, in order.
struct Announcements
{
    explicit Announcements(const StatusItem& item)
    {
        QObject::connect(&item, &StatusItem::titleChanged, [this] { heard.append(u"title"_qs); });
        QObject::connect(&item, &StatusItem::toolTipChanged,
                         [this] { heard.append(u"tooltip"_qs); });
    }
    QStringList take() { return std::exchange(heard, {}); }
    QStringList heard;
};

StatusTitle titleOf(const QString& value)
{
    return {value, QFont(), QIcon(), {value}, {}};
}

TEST(StatusItemTest, ATooltipGivenByItsCompositionIsComposedOnceAndOnlyWhenRead)
{
    StatusItem item;
    Announcements announced(item);
    int compositions = 0;
    const quint64 before = item.toolTipRevision();
    item.setToolTip([&compositions] {
        ++compositions;
        return u"61℃\nLast ten minutes"_qs;
    });
    EXPECT_EQ(announced.take(), QStringList{u"tooltip"_qs});
    EXPECT_EQ(item.toolTipRevision(), before + 1);
    EXPECT_TRUE(item.hasToolTip());
    EXPECT_EQ(compositions, 0);

    EXPECT_EQ(item.toolTip(), u"61℃\nLast ten minutes"_qs);
    EXPECT_EQ(item.toolTip(), u"61℃\nLast ten minutes"_qs);
    EXPECT_EQ(compositions, 1);

    // Given again before anyone read it, the first is never composed.
    item.setToolTip([&compositions] {
        ++compositions;
        return u"62℃"_qs;
    });
    item.setToolTip([] { return u"63℃"_qs; });
    EXPECT_EQ(item.toolTip(), u"63℃"_qs);
    EXPECT_EQ(compositions, 1);

    // A text that composes to nothing is no tooltip.
    item.setToolTip(QString());
    EXPECT_FALSE(item.hasToolTip());
}

TEST(StatusItemTest, TitleAndTooltipTogetherAreOneAnnouncement)
{
    struct Row
    {
        const char* name;
        std::function<void(StatusItem&)> change;
        QStringList heard;
    };
    const auto compose = [] { return u"statistics"_qs; };
    // clang-format off
    const Row rows[] = {
        {"a new title and a tooltip", [&](StatusItem& item) { item.setTitle(titleOf(u"62℃"_qs), compose); },
         {u"title"_qs}},
        {"the same title and a tooltip", [&](StatusItem& item) { item.setTitle(titleOf(u"61℃"_qs), compose); },
         {u"tooltip"_qs}},
        {"a new title alone", [](StatusItem& item) { item.setTitle(titleOf(u"62℃"_qs), {}); },
         {u"title"_qs}},
        {"the same title alone", [](StatusItem& item) { item.setTitle(titleOf(u"61℃"_qs), {}); }, {}},
        {"the same tooltip text", [](StatusItem& item) { item.setToolTip(u"before"_qs); }, {}},
        {"another tooltip text", [](StatusItem& item) { item.setToolTip(u"after"_qs); },
         {u"tooltip"_qs}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StatusItem item;
        item.setTitle(titleOf(u"61℃"_qs));
        item.setToolTip(u"before"_qs);
        Announcements announced(item);
        row.change(item);
        EXPECT_EQ(announced.take(), row.heard);
    }
}

} // namespace
} // namespace calidra
