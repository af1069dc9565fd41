// SPDX-License-Identifier: GPL-3.0-or-later
#include "TitleRenderer.h"

#include "FaceIconEngine.h"
#include "GlyphOutlines.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace calidra {

namespace {

// The slot's side and device pixel ratio are bounded so that bad input gives
// a small face rather than a huge allocation.
constexpr int MaximumSide = 512;
constexpr qreal MinimumPixelRatio = 0.25;
constexpr qreal MaximumPixelRatio = 4.0;
// No tray slot shows more than this many characters of a value.
constexpr int MaximumValueLength = 32;
// A face shows one value, or two stacked.
constexpr int MaximumLines = 2;
// Digits may be condensed to this share of their natural width before the
// value loses anything.
constexpr qreal LeastCondensing = 0.6;
// Outlines are taken at this size and scaled, so that their ink is exact.
constexpr int OutlinePixelSize = 100;
// The least heights the digits keep, before decimals or the image, in logical
// pixels, for a slot of ReferenceSide and in proportion for other sizes.
constexpr qreal ReferenceSide = 22.0;
constexpr qreal LeastSingleHeight = 12.0;
constexpr qreal LeastStackedHeight = 9.0;
// No line of a face is drawn smaller than this, in device pixels: a second
// value that cannot keep it is left out.
constexpr qreal SmallestLine = 8.0;
// How many plates are kept: one per size and colour a tray asks for.
constexpr qsizetype MaximumPlates = 16;
// The ellipsis of an empty face spans this share of the plate's width.
constexpr qreal EllipsisWidth = 0.6;

// White digits on a nearly opaque dark plate read on light panels and dark
// ones alike; so do they on the alarm's deep red, which stays dark enough
// for white and stands out from both.
QColor plateColor(bool alarm)
{
    return alarm ? QColor(0xc0, 0x1c, 0x28) : QColor(0x1e, 0x1e, 0x1e, 235);
}

QColor digitColor()
{
    return QColor(Qt::white);
}

// A bold sans face, chosen once: fontconfig gives the closest sans when
// DejaVu Sans is missing. Outlines are unhinted, since they are scaled.
const QFont& faceFont()
{
    static const QFont font = [] {
        QFont bold(u"DejaVu Sans"_qs);
        bold.setStyleHint(QFont::SansSerif);
        bold.setWeight(QFont::Bold);
        bold.setPixelSize(OutlinePixelSize);
        bold.setHintingPreference(QFont::PreferNoHinting);
        return bold;
    }();
    return font;
}

// Taking a glyph's outline from the font is the costly part of a face: each
// is taken once, and a new value is put together from the digits' shapes.
// Main thread only, as every face is.
QPainterPath outline(const QString& text)
{
    static GlyphOutlines outlines(faceFont());
    return outlines.outline(text);
}

// The values worth drawing: trimmed, the empty ones left out, each cut to
// what a slot can show, the first MaximumLines of them.
QStringList shownValues(const QStringList& values)
{
    QStringList shown;
    for (auto value = values.begin(); value != values.end() && shown.size() < MaximumLines;
         ++value) {
        const QString text = value->trimmed().left(MaximumValueLength);
        if (!text.isEmpty()) {
            shown.append(text);
        }
    }
    return shown;
}

const QRegularExpression& numberPattern()
{
    static const QRegularExpression number(u"^([-+\u2212]?\\d+)(?:([.,])(\\d+))?"_qs);
    return number;
}

// The texts a value may be shown as, longest first: the value itself, its
// number without the unit, then the number with one decimal less each time
// down to its integer part. A value that does not start with a number has
// no shorter text.
QStringList shortenings(const QString& value)
{
    const QRegularExpressionMatch match = numberPattern().match(value);
    QStringList texts{value};
    if (!match.hasMatch()) {
        return texts;
    }
    const QString integer = match.captured(1);
    const QString decimals = match.captured(3);
    for (qsizetype kept = decimals.size(); kept > 0; --kept) {
        texts.append(integer + match.captured(2) + decimals.left(kept));
    }
    texts.append(integer);
    texts.removeDuplicates();
    return texts;
}

// Whether `text` carries more than its number: a unit.
bool hasUnit(const QString& text)
{
    const QRegularExpressionMatch match = numberPattern().match(text);
    return match.hasMatch() && match.capturedLength(0) < text.size();
}

// `path`, whose ink is `ink`, scaled by `sx` × `sy` and centred in `box`;
// the top stays on a whole pixel so that the digits' rows are crisp.
QPainterPath placed(const QPainterPath& path, const QRectF& ink, const QRectF& box, qreal sx,
                    qreal sy)
{
    const qreal left = box.center().x() - ink.width() * sx / 2;
    const qreal top = box.top() + std::floor((box.height() - ink.height() * sy) / 2);
    return QTransform::fromTranslate(left, top)
        .scale(sx, sy)
        .translate(-ink.left(), -ink.top())
        .map(path);
}

// One value as drawn: its outline in place, and the text it was shortened to.
struct Line
{
    QPainterPath path;
    QString text;
};

// The value as tall as `box` allows, condensed down to LeastCondensing when
// too wide. The unit goes before the digits shrink at all; a decimal goes
// only when the digits would otherwise fall below `leastHeight`, since "2"
// says less of 2.40 GHz than a smaller "2.4" does. The shortest text left is
// shrunk (condensed as far) until it fits. Empty when the value has no ink
// or the box no room.
Line fitted(const QString& value, const QRectF& box, qreal leastHeight)
{
    if (box.width() <= 0 || box.height() <= 0) {
        return {};
    }
    const QStringList texts = shortenings(value);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QPainterPath path = outline(texts[i]);
        const QRectF ink = path.boundingRect();
        if (ink.width() <= 0 || ink.height() <= 0) {
            return {};
        }
        const qreal sy =
            std::min(box.height() / ink.height(), box.width() / (ink.width() * LeastCondensing));
        // In a slot too small for the least height, the box's height is the most
        // a decimal can ask for.
        const qreal wanted = hasUnit(texts[i]) ? box.height() : std::min(leastHeight, box.height());
        if (ink.height() * sy >= wanted - 1e-6 || i == texts.size() - 1) {
            return {placed(path, ink, box, std::min(sy, box.width() / ink.width()), sy), texts[i]};
        }
    }
    return {};
}

// The slot's geometry in device pixels: the margin between the plate's edge
// and the digits, and the gap between stacked values.
struct Geometry
{
    int side;
    int margin;
    int gap;
};

Geometry geometryFor(int side)
{
    return {side, std::max(1, qRound(side / ReferenceSide)),
            std::max(1, qRound(2 * side / ReferenceSide))};
}

// The lines of `count` values between `left` and `right`: the whole height
// for one, two halves parted by the gap for two, on whole pixels.
QList<QRectF> lineBoxes(const Geometry& geometry, qsizetype count, int left, int right)
{
    const int inner = geometry.side - 2 * geometry.margin;
    if (count == 1) {
        return {QRectF(left, geometry.margin, right - left, inner)};
    }
    const int height = (inner - geometry.gap) / 2;
    const int top = (geometry.side - 2 * height - geometry.gap) / 2;
    return {QRectF(left, top, right - left, height),
            QRectF(left, top + height + geometry.gap, right - left, height)};
}

QList<Line> laidOut(const QStringList& values, const QList<QRectF>& boxes, qreal leastHeight)
{
    QList<Line> lines;
    for (qsizetype i = 0; i < values.size(); ++i) {
        lines.append(fitted(values[i], boxes[i], leastHeight));
    }
    return lines;
}

// The number a shown text holds, or the whole text when it holds none.
QString numberIn(const QString& text)
{
    const QRegularExpressionMatch match = numberPattern().match(text);
    return match.hasMatch() ? match.captured(0) : text;
}

// Whether the values beside the image keep their least height and every
// digit they show alone; a unit may give way to the image.
bool asTellingBeside(const QList<Line>& beside, const QList<Line>& alone, qreal leastHeight)
{
    for (qsizetype i = 0; i < beside.size(); ++i) {
        if (numberIn(beside[i].text) != numberIn(alone[i].text) ||
            beside[i].path.boundingRect().height() < leastHeight) {
            return false;
        }
    }
    return true;
}

// The image fitted into the slot, its aspect kept; null for no image.
QImage pictureOf(const QIcon& image, int side)
{
    if (image.isNull()) {
        return {};
    }
    QImage picture = image.pixmap(QSize(side, side), 1.0).toImage();
    if (picture.isNull()) {
        return {};
    }
    if (std::max(picture.width(), picture.height()) != side) {
        picture = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The columns of `picture` that hold any ink; null when none does.
QImage drawnPart(const QImage& picture)
{
    int left = picture.width();
    int right = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(row[x]) > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right < left ? QImage() : picture.copy(left, 0, right - left + 1, picture.height());
}

// A transparent face of `side` device pixels, ready to be drawn on.
QImage blankFace(int side)
{
    QImage face(side, side, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::transparent);
    return face;
}

// A face that starts as its plate: the same at every change of one size, so
// it is drawn once per side and colour and copied after. Trays ask for a few
// sizes; a caller that asks for many more only starts the collection anew.
QImage plateFace(int side, bool alarm)
{
    static QHash<std::pair<int, bool>, QImage> plates;
    const std::pair key{side, alarm};
    if (const auto kept = plates.constFind(key); kept != plates.constEnd()) {
        return *kept;
    }
    if (plates.size() >= MaximumPlates) {
        plates.clear();
    }
    QImage face = blankFace(side);
    QPainter painter(&face);
    painter.setRenderHints(QPainter::Antialiasing);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0, 0, side, side), side / 6.0, side / 6.0);
    painter.fillPath(plate, plateColor(alarm));
    painter.end();
    return *plates.insert(key, face);
}

void drawEllipsis(QPainter& painter, const Geometry& geometry)
{
    const QPainterPath path = outline(u"\u2026"_qs);
    const QRectF ink = path.boundingRect();
    if (ink.width() <= 0) {
        return;
    }
    const qreal scale = EllipsisWidth * geometry.side / ink.width();
    const QRectF box(0, 0, geometry.side, geometry.side);
    painter.fillPath(placed(path, ink, box, scale, scale), digitColor());
}

void drawLines(QPainter& painter, const QList<Line>& lines)
{
    for (const Line& line : lines) {
        painter.fillPath(line.path, digitColor());
    }
}

// The values on the plate, with the image's drawn part at their left while
// each value keeps there its least height and the digits it shows alone.
void drawValues(QPainter& painter, const QStringList& values, const QImage& drawn,
                const Geometry& geometry, qreal leastHeight)
{
    const int right = geometry.side - geometry.margin;
    const QList<Line> alone =
        laidOut(values, lineBoxes(geometry, values.size(), geometry.margin, right), leastHeight);
    const int left = geometry.margin + drawn.width() + geometry.margin;
    if (!drawn.isNull() && left < right) {
        const QList<Line> beside =
            laidOut(values, lineBoxes(geometry, values.size(), left, right), leastHeight);
        if (asTellingBeside(beside, alone, leastHeight)) {
            painter.drawImage(geometry.margin, (geometry.side - drawn.height()) / 2, drawn);
            drawLines(painter, beside);
            return;
        }
    }
    drawLines(painter, alone);
}

qreal boundedRatio(qreal pixelRatio)
{
    return std::isfinite(pixelRatio) && pixelRatio > 0
               ? std::clamp(pixelRatio, MinimumPixelRatio, MaximumPixelRatio)
               : 1.0;
}

// The least height of each of `count` values, in device pixels: what a
// decimal or the image gives way to. It grows with the slot, so that every
// size of the face is laid out alike: panels often scale a larger size down.
qreal leastHeight(qsizetype count, int side, qreal ratio)
{
    const qreal least = count == 1 ? LeastSingleHeight : LeastStackedHeight;
    return least * side / ReferenceSide * ratio;
}

// Whether every line is at least `height` tall.
bool allAtLeast(const QList<Line>& lines, qreal height)
{
    return std::all_of(lines.begin(), lines.end(), [height](const Line& line) {
        return line.path.boundingRect().height() >= height - 1e-6;
    });
}

// The values that fit the slot: two stacked only where both keep the
// smallest line; otherwise the first alone.
QStringList readableValues(QStringList values, const Geometry& geometry, int logicalSide,
                           qreal ratio)
{
    if (values.size() < 2) {
        return values;
    }
    const QList<Line> stacked = laidOut(
        values,
        lineBoxes(geometry, values.size(), geometry.margin, geometry.side - geometry.margin),
        leastHeight(values.size(), logicalSide, ratio));
    if (!allAtLeast(stacked, SmallestLine * ratio)) {
        values.erase(values.begin() + 1, values.end());
    }
    return values;
}

} // namespace

// The face is drawn in device pixels and given its ratio at the end, so that
// the plate's margins and the digits' rows fall on whole device pixels.
QImage TitleRenderer::render(const QStringList& values, const QIcon& image, int side,
                             qreal pixelRatio, bool alarm)
{
    const int logicalSide = std::clamp(side, 1, MaximumSide);
    const qreal ratio = boundedRatio(pixelRatio);
    // A ratio such as 1.1 must not round 11.000000000000002 up to 12.
    const int deviceSide = std::max(1, int(std::ceil(logicalSide * ratio - 1e-6)));
    const Geometry geometry = geometryFor(deviceSide);
    const QStringList shown = readableValues(shownValues(values), geometry, logicalSide, ratio);
    const QImage picture = pictureOf(image, deviceSide);
    const QImage drawn = picture.isNull() ? QImage() : drawnPart(picture);

    const bool imageAlone = shown.isEmpty() && !drawn.isNull();
    QImage face = imageAlone ? blankFace(deviceSide) : plateFace(deviceSide, alarm);
    {
        QPainter painter(&face);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        if (imageAlone) {
            painter.drawImage((deviceSide - picture.width()) / 2,
                              (deviceSide - picture.height()) / 2, picture);
        } else if (shown.isEmpty()) {
            drawEllipsis(painter, geometry);
        } else {
            drawValues(painter, shown, drawn, geometry,
                       leastHeight(shown.size(), logicalSide, ratio));
        }
    }
    face.setDevicePixelRatio(ratio);
    return face;
}

QIcon TitleRenderer::icon(const QStringList& values, const QIcon& image, bool alarm)
{
    return QIcon(new FaceIconEngine(values, image, alarm));
}

} // namespace calidra
