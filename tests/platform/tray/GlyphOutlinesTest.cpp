// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/GlyphOutlines.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

QFont boldFace()
{
    QFont font(u"DejaVu Sans"_qs);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Whether two outlines have the same elements, each at the same place
// relative to the outline's ink: where the whole stands may differ. Outlines
// without ink are alike, however they got there.
::testing::AssertionResult sameShape(const QPainterPath& built, const QPainterPath& shaped)
{
    if (shaped.boundingRect().isEmpty()) {
        return built.boundingRect().isEmpty() ? ::testing::AssertionSuccess()
                                              : ::testing::AssertionFailure() << "ink from none";
    }
    if (built.elementCount() != shaped.elementCount()) {
        return ::testing::AssertionFailure()
               << built.elementCount() << " elements, not " << shaped.elementCount();
    }
    const QPointF builtOrigin = built.boundingRect().topLeft();
    const QPointF shapedOrigin = shaped.boundingRect().topLeft();
    for (int i = 0; i < built.elementCount(); ++i) {
        const QPainterPath::Element a = built.elementAt(i);
        const QPainterPath::Element b = shaped.elementAt(i);
        const QPointF offset = (QPointF(a) - builtOrigin) - (QPointF(b) - shapedOrigin);
        if (a.type != b.type || offset.manhattanLength() > 1e-9) {
            return ::testing::AssertionFailure() << "element " << i << " differs";
        }
    }
    if (built.boundingRect().size() != shaped.boundingRect().size()) {
        return ::testing::AssertionFailure() << "the ink differs in size";
    }
    return ::testing::AssertionSuccess();
}

// The outline put together from glyphs is the one the font gives for the
// whole text: the faces' ink heights and fitting depend on it.
TEST(GlyphOutlinesTest, AnOutlineIsTheShapedTextsOwnAtEveryCall)
{
    const char16_t* const texts[] = {
        u"61℃",    u"142℉",           u"2.40 GHz", u"1000.00 MHz", u"-5℃",      u"2,40", u"?",
        u"\u2026", u"Please wait...", u"nan℃",     u"℃",           u"1.36 GHz", u"61",   u"\u200b",
        u"",       u"AVAWAY Ta",      u"Ωµ∑",      u"温度 61",
    };
    GlyphOutlines outlines(boldFace());
    for (int round = 0; round < 2; ++round) {
        for (const char16_t* text : texts) {
            const QString string = QString::fromUtf16(text);
            SCOPED_TRACE(string.toStdString() + (round ? " (kept)" : ""));
            QPainterPath shaped;
            shaped.addText(0, 0, boldFace(), string);
            EXPECT_TRUE(sameShape(outlines.outline(string), shaped));
        }
    }
}

// Texts beyond what is kept are laid out again, and still the same.
TEST(GlyphOutlinesTest, ManyTextsStayExact)
{
    GlyphOutlines outlines(boldFace());
    for (int value = 0; value < 3 * GlyphOutlines::MaximumLayouts; value += 7) {
        const QString text = QString::number(value) + u"℃"_qs;
        QPainterPath shaped;
        shaped.addText(0, 0, boldFace(), text);
        ASSERT_TRUE(sameShape(outlines.outline(text), shaped)) << text.toStdString();
    }
}

} // namespace
} // namespace calidra
