// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tray/TitleRenderer.h"

#include "platform/tray/GlyphOutlines.h"

#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

#include <limits>

namespace calidra {
namespace {

// A stand-in for the status icon that no measurement of the digits takes for a digit.
QIcon redBar()
{
    QPixmap bar(16, 16);
    bar.fill(Qt::transparent);
    QPainter(&bar).fillRect(6, 1, 5, 14, Qt::red);
    return QIcon(bar);
}

double luminance(QRgb pixel)
{
    return (0.2126 * qRed(pixel) + 0.7152 * qGreen(pixel) + 0.0722 * qBlue(pixel)) / 255;
}

// The face's pixels, unpremultiplied, one per device pixel.
QImage pixels(const QImage& face)
{
    QImage image = face.convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1);
    return image;
}

template <typename Visit>
void eachPixel(const QImage& face, Visit visit)
{
    const QImage image = pixels(face);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            visit(x, y, image.pixel(x, y));
        }
    }
}

// The tallest run of rows holding digit ink (light, mostly opaque pixels) in each of `lines`
// equal bands of the face.
QList<int> inkHeights(const QImage& face, qsizetype lines)
{
    QList<bool> ink(face.height());
    eachPixel(face, [&ink](int, int y, QRgb p) {
        ink[y] = ink[y] || (qAlpha(p) > 128 && luminance(p) > 0.7);
    });
    const int band = face.height() / int(lines);
    QList<int> heights(lines, 0);
    for (int y = 0, run = 0; y < band * lines; ++y) {
        run = ink[y] && y % band != 0 ? run + 1 : int(ink[y]);
        heights[y / band] = std::max(heights[y / band], run);
    }
    return heights;
}

// The bounding rectangle of the red bar's pixels; empty for none.
QRect redExtent(const QImage& face)
{
    QRect extent;
    eachPixel(face, [&extent](int x, int y, QRgb p) {
        extent |= qAlpha(p) > 128 && qRed(p) > 150 && qGreen(p) < 100 ? QRect(x, y, 1, 1) : QRect();
    });
    return extent;
}

// How much lighter the brightest pixel is than the plate's top edge, over a light and a
// dark panel: the lesser of the two.
double contrast(const QImage& face)
{
    double least = 1;
    for (const QColor background : {QColor(0xf0, 0xf0, 0xf0), QColor(0x20, 0x20, 0x20)}) {
        QImage shown(face.size(), QImage::Format_ARGB32);
        shown.fill(background);
        QPainter(&shown).drawImage(0, 0, pixels(face));
        double brightest = 0;
        eachPixel(shown, [&](int, int, QRgb p) { brightest = std::max(brightest, luminance(p)); });
        least = std::min(least, brightest - luminance(shown.pixel(shown.width() / 2, 0)));
    }
    return least;
}

std::string nameOf(const QStringList& values, qreal side)
{
    return values.join(u" / "_qs).toStdString() + " at " + std::to_string(side);
}

// Two values stack only where both keep lines of 8 pixels; in smaller slots (a bar's 16
// pixels) the temperature shows alone, as tall as it can be.
TEST(TitleRendererTest, DigitsKeepTheirLeastHeightAndContrast)
{
    // clang-format off
    const struct { QStringList values; int side; qreal ratio; bool stacked; int leastHeight; } rows[] = {
        {{u"142℉"_qs}, 22, 1.0, false, 12}, {{u"1000.00 MHz"_qs}, 22, 1.0, false, 9},
        {{u"61℃"_qs, u"2.40 GHz"_qs}, 22, 1.0, true, 9}, {{u"142℉"_qs, u"1000.00 MHz"_qs}, 22, 1.0, true, 9},
        {{u"61℃"_qs, u"2.40 GHz"_qs}, 20, 1.0, true, 8}, {{u"61℃"_qs, u"2.40 GHz"_qs}, 18, 1.0, false, 8},
        {{u"61℃"_qs, u"2.40 GHz"_qs}, 16, 2.0, false, 16}, {{u"61℃"_qs, u"2.40 GHz"_qs}, 22, 2.0, true, 16},
        {{u"212℉"_qs, u"2.40 GHz"_qs}, 16, 1.0, false, 8}, {{u"105℃"_qs, u"1000 MHz"_qs}, 22, 1.0, true, 8},
    };
    // clang-format on
    for (const auto& [values, side, ratio, stacked, leastHeight] : rows) {
        const std::string name = nameOf(values, side * ratio);
        for (const QIcon& image : {QIcon(), redBar()}) {
            const QImage face = TitleRenderer::render(values, image, side, ratio);
            EXPECT_EQ(face != TitleRenderer::render(values.mid(0, 1), image, side, ratio), stacked)
                << name;
            for (int height : inkHeights(face, stacked ? 2 : 1)) {
                EXPECT_GE(height, leastHeight) << name;
            }
            EXPECT_GT(contrast(face), 0.6) << name;
        }
    }
}

TEST(TitleRendererTest, ImageStandsLeftOnlyWhileTheValuesKeepTheirDigitsAndLeastHeight)
{
    // Every size is laid out as at 22, since panels scale larger ones down.
    // clang-format off
    const std::tuple<QStringList, int, bool> cases[] = {
        {{u"61℃"_qs}, 22, false}, {{u"5℃"_qs}, 22, true}, {{u"5℃"_qs, u"2 GHz"_qs}, 22, true},
        {{u"61℃"_qs, u"2.40 GHz"_qs}, 22, false}, {{u"142℉"_qs, u"1000.00 MHz"_qs}, 22, false},
        {{u"61℃"_qs}, 32, false}, {{u"142℉"_qs}, 48, false}, {{u"5℃"_qs, u"2 GHz"_qs}, 48, true},
    };
    // clang-format on
    for (const auto& [values, side, imageShown] : cases) {
        const std::string name = nameOf(values, side);
        const QImage face = TitleRenderer::render(values, redBar(), side);
        const QRect red = redExtent(face);
        EXPECT_EQ(!red.isEmpty(), imageShown) << name;
        EXPECT_LT(red.right(), side / 2) << name;
        EXPECT_EQ(TitleRenderer::render(values, QIcon(), side) == face, !imageShown) << name;
    }
}

TEST(TitleRendererTest, NoValuesShowTheImageAloneOrAnEllipsisOnThePlate)
{
    const QImage alone = TitleRenderer::render({}, redBar(), 22);
    const QRect red = redExtent(alone);
    EXPECT_LE(std::abs(red.left() + red.right() - 21), 1) << "centred";
    EXPECT_GE(red.height(), 19) << "at the slot's height";
    EXPECT_EQ(qAlpha(alone.pixel(11, 0)), 0) << "no plate";

    const QImage ellipsis = TitleRenderer::render({}, QIcon(), 22);
    EXPECT_GT(qAlpha(ellipsis.pixel(11, 0)), 200);
    EXPECT_GT(inkHeights(ellipsis, 1)[0], 0);
    QPixmap nothing(16, 16);
    nothing.fill(Qt::transparent);
    EXPECT_TRUE(TitleRenderer::render({}, QIcon(nothing), 22) == ellipsis)
        << "an image that draws nothing is none";
}

TEST(TitleRendererTest, TheUnitGivesWayBeforeTheDigitsShrinkAndDecimalsBeforeTheirLeastHeight)
{
    // clang-format off
    const std::pair<QStringList, QStringList> cases[] = {
        {{u"61℃"_qs}, {u"61"_qs}}, {{u"2.40 GHz"_qs}, {u"2.4"_qs}}, {{u"1000.00 MHz"_qs}, {u"1000"_qs}},
        {{u"2,40 GHz"_qs}, {u"2,40"_qs}}, // the comma's tail counts as height
        {{u"-5℃"_qs}, {u"-5"_qs}}, {{u"61℃"_qs, u"2.40 GHz"_qs}, {u"61℃"_qs, u"2.40"_qs}},
        // Bad values: blanks around or instead of values, too many, too long.
        {{u" 61℃\n"_qs, u"\t2.40 GHz "_qs}, {u"61℃"_qs, u"2.40 GHz"_qs}},
        {{u""_qs, u"61℃"_qs, u"  "_qs}, {u"61℃"_qs}},
        {{u""_qs, u""_qs}, {}},
        {{u"61℃"_qs, u"2.40 GHz"_qs, u"99%"_qs}, {u"61℃"_qs, u"2.40 GHz"_qs}},
        {{u"61℃ and a long tail that no slot could ever show"_qs},
         {u"61℃ and a long tail that no slot"_qs}},
        // Text that is no number is shrunk whole: only its first 32 characters show.
        {{u"No reading: a long tail that no slot could ever show"_qs},
         {u"No reading: a long tail that no "_qs}},
    };
    // clang-format on
    for (const auto& [values, drawnAs] : cases) {
        EXPECT_TRUE(TitleRenderer::render(values, QIcon(), 22) ==
                    TitleRenderer::render(drawnAs, QIcon(), 22))
            << nameOf(values, 22);
    }
    EXPECT_FALSE(TitleRenderer::render({u"1.36 GHz"_qs}, QIcon(), 14) ==
                 TitleRenderer::render({u"1"_qs}, QIcon(), 14));
}

TEST(TitleRendererTest, BadInputStillGivesAPlateOfTheBoundedSideAndRatio)
{
    const qreal nan = std::numeric_limits<qreal>::quiet_NaN(),
                infinity = std::numeric_limits<qreal>::infinity();
    const QStringList celsius{u"61℃"_qs};
    // clang-format off
    const std::tuple<const char*, QStringList, int, qreal, int, qreal> cases[] = {
        {"double", celsius, 22, 2.0, 44, 2.0}, {"fraction rounded up", celsius, 15, 1.5, 23, 1.5},
        {"inexact product", celsius, 10, 1.1, 11, 1.1}, {"no side", celsius, 0, 1.0, 1, 1.0},
        {"negative side", celsius, -22, 1.0, 1, 1.0}, {"huge side", celsius, 1 << 30, 1.0, 512, 1.0},
        {"no ratio", celsius, 22, 0.0, 22, 1.0}, {"negative ratio", celsius, 22, -2.0, 22, 1.0},
        {"not a number", celsius, 22, nan, 22, 1.0}, {"infinite ratio", celsius, 22, infinity, 22, 1.0},
        {"huge ratio", celsius, 22, 100.0, 88, 4.0}, {"tiny ratio", celsius, 2, 1e-9, 1, 0.25},
        {"no digits", {u"Please wait..."_qs}, 22, 1.0, 22, 1.0}, {"not a number as text", {u"nan℃"_qs}, 22, 1.0, 22, 1.0},
        {"unit alone", {u"℃"_qs}, 22, 1.0, 22, 1.0}, {"no ink", {u"\u200b"_qs}, 22, 1.0, 22, 1.0},
        {"very long", {QString(100000, u'9') + u"℃"_qs}, 22, 1.0, 22, 1.0},
    };
    // clang-format on
    for (const auto& [name, values, side, ratio, pixels, shownRatio] : cases) {
        const QImage face = TitleRenderer::render(values, redBar(), side, ratio);
        EXPECT_EQ(face.format(), QImage::Format_ARGB32_Premultiplied) << name;
        EXPECT_EQ(face.size(), QSize(pixels, pixels)) << name;
        EXPECT_DOUBLE_EQ(face.devicePixelRatio(), shownRatio) << name;
        EXPECT_GT(qAlpha(face.pixel(pixels / 2, 0)), 128) << name;
    }
}

TEST(TitleRendererTest, TheAlarmTurnsThePlateRed)
{
    const QStringList values{u"93℃"_qs};
    for (const QStringList& shown : {values, QStringList()}) {
        const QImage face = pixels(TitleRenderer::render(shown, QIcon(), 22, 1.0, true));
        const QRgb plate = face.pixel(11, 0);
        EXPECT_GT(qRed(plate), 150);
        EXPECT_LT(qGreen(plate), 60);
        EXPECT_GT(qAlpha(plate), 200);
        EXPECT_LT(qRed(pixels(TitleRenderer::render(shown, QIcon(), 22)).pixel(11, 0)), 60);
    }
    const QImage alarm = TitleRenderer::render(values, QIcon(), 22, 1.0, true);
    EXPECT_GT(contrast(alarm), 0.6);
    EXPECT_TRUE(TitleRenderer::icon(values, QIcon(), true).pixmap(22, 22).toImage() == alarm);
}

TEST(TitleRendererTest, IconDrawsTheFaceAtEachAskedSize)
{
    const QStringList values{u"61℃"_qs, u"2.40 GHz"_qs};
    const QIcon icon = TitleRenderer::icon(values, redBar());
    EXPECT_TRUE(icon.pixmap(22, 22).toImage() == TitleRenderer::render(values, redBar(), 22));
    const QPixmap sharp = icon.pixmap(QSize(22, 22), 2.0);
    EXPECT_TRUE(sharp.toImage() == TitleRenderer::render(values, redBar(), 22, 2.0));
    EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
    QImage painted(40, 32, QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    QPainter painter(&painted);
    icon.paint(&painter, painted.rect());
    painter.end();
    EXPECT_TRUE(painted.copy(4, 0, 32, 32) == TitleRenderer::render(values, redBar(), 32));
    EXPECT_TRUE(icon.pixmap(0, 0).isNull());
}

QFont boldFace()
{
    QFont font(u"DejaVu Sans"_qs);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Alike where the elements stand at the same places relative to the ink.
bool isShapedText(const QPainterPath& built, const QString& text)
{
    QPainterPath shaped;
    shaped.addText(0, 0, boldFace(), text);
    if (shaped.boundingRect().isEmpty()) {
        return built.boundingRect().isEmpty();
    }
    return built.translated(-built.boundingRect().topLeft()) ==
           shaped.translated(-shaped.boundingRect().topLeft());
}

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
