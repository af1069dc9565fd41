// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/StatusItem.h"

#include <gtest/gtest.h>

#include <functional>

namespace calidra {
namespace {

StatusTitle titleOf(const QString& value)
{
    return {value, QFont(), QIcon(), {value}, {}};
}

// A title and its tooltip given together are one announcement; what does not
// change is not announced. When the tooltip is composed is the face's test.
TEST(StatusItemTest, TitleAndTooltipTogetherAreOneAnnouncement)
{
    using Change = std::function<void(StatusItem&)>;
    const auto compose = [] { return u"statistics"_qs; };
    const auto setTitle = [&](const QString& value, bool withToolTip) -> Change {
        return [=](StatusItem& item) {
            item.setTitle(titleOf(value), withToolTip ? compose : std::function<QString()>());
        };
    };
    const auto setToolTip = [](const QString& text) -> Change {
        return [=](StatusItem& item) { item.setToolTip(text); };
    };
    // clang-format off
    const std::tuple<const char*, Change, QStringList> rows[] = {
        {"a new title and a tooltip", setTitle(u"62℃"_qs, true), {u"title"_qs}},
        {"the same title and a tooltip", setTitle(u"61℃"_qs, true), {u"tooltip"_qs}},
        {"a new title alone", setTitle(u"62℃"_qs, false), {u"title"_qs}},
        {"the same title alone", setTitle(u"61℃"_qs, false), {}},
        {"the same tooltip text", setToolTip(u"before"_qs), {}},
        {"another tooltip text", setToolTip(u"after"_qs), {u"tooltip"_qs}},
    };
    // clang-format on
    for (const auto& [name, change, heard] : rows) {
        SCOPED_TRACE(name);
        StatusItem item;
        item.setTitle(titleOf(u"61℃"_qs));
        item.setToolTip(u"before"_qs);
        QStringList announced;
        QObject::connect(&item, &StatusItem::titleChanged, [&] { announced.append(u"title"_qs); });
        QObject::connect(&item, &StatusItem::toolTipChanged,
                         [&] { announced.append(u"tooltip"_qs); });
        change(item);
        EXPECT_EQ(announced, heard);
    }
    // A composed tooltip is composed once however often it is read; a text
    // that composes to nothing is no tooltip.
    StatusItem item;
    int compositions = 0;
    item.setToolTip([&compositions] {
        ++compositions;
        return u"61℃\nLast ten minutes"_qs;
    });
    EXPECT_TRUE(item.hasToolTip());
    EXPECT_EQ(item.toolTip(), u"61℃\nLast ten minutes"_qs);
    EXPECT_EQ(item.toolTip(), u"61℃\nLast ten minutes"_qs);
    EXPECT_EQ(compositions, 1);
    item.setToolTip(QString());
    EXPECT_FALSE(item.hasToolTip());
}

} // namespace
} // namespace calidra
