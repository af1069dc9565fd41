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

// Whether the outline put together from glyphs has the elements the font
// gives for the whole text, each at the same place relative to the ink: where
// the whole stands may differ. Outlines without ink are alike.
::testing::AssertionResult isShapedText(const QPainterPath& built, const QString& text)
{
    QPainterPath shaped;
    shaped.addText(0, 0, boldFace(), text);
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
    return built.boundingRect().size() == shaped.boundingRect().size()
               ? ::testing::AssertionSuccess()
               : ::testing::AssertionFailure() << "the ink differs in size";
}

// The faces' ink heights and fitting depend on the outline being exact, at
// every call and beyond the texts that are kept.
TEST(GlyphOutlinesTest, AnOutlineIsTheShapedTextsOwnAtEveryCall)
{
    const char16_t* const texts[] = {
        u"61℃", u"142℉",   u"2.40 GHz", u"-5℃",       u"2,40", u"\u2026",  u"Please wait...",
        u"℃",   u"\u200b", u"",         u"AVAWAY Ta", u"Ωµ∑",  u"温度 61",
    };
    GlyphOutlines outlines(boldFace());
    for (int round = 0; round < 2; ++round) {
        for (const char16_t* text : texts) {
            const QString string = QString::fromUtf16(text);
            EXPECT_TRUE(isShapedText(outlines.outline(string), string)) << string.toStdString();
        }
    }
    for (int value = 0; value < 3 * GlyphOutlines::MaximumLayouts; value += 7) {
        const QString text = QString::number(value) + u"℃"_qs;
        ASSERT_TRUE(isShapedText(outlines.outline(text), text)) << text.toStdString();
    }
}

} // namespace
} // namespace calidra
