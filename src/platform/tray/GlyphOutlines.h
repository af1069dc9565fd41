// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRawFont>
#include <QString>

namespace calidra {

/// Outlines of short texts in one font, put together from the outline of
/// each glyph: a glyph's outline is taken from the font once, and a text is
/// shaped once, so that a new value reuses the shapes of the digits it is
/// made of. An outline is what QPainterPath::addText gives for the text at
/// the origin, up to where the whole stands (the glyphs keep their places
/// to each other, kerning and fallback fonts included). Keeps the glyphs
/// of the last MaximumFonts fonts it met (the font and its fallbacks), the
/// layouts of up to MaximumLayouts texts and the outlines of the last few
/// (MaximumOutlines), which a face asks for again at each of its sizes.
/// Main thread only, as fonts are.
class GlyphOutlines
{
public:
    /// How many texts' layouts are kept before they are laid out anew.
    static constexpr qsizetype MaximumLayouts = 256;
    /// How many fonts' glyphs are kept.
    static constexpr qsizetype MaximumFonts = 8;
    /// How many texts' outlines are kept as a whole.
    static constexpr qsizetype MaximumOutlines = 16;

    explicit GlyphOutlines(const QFont& font);

    /// The outline of `text`; empty for a text without glyphs.
    QPainterPath outline(const QString& text);

private:
    /// One glyph of a laid-out text: which font's, which glyph, where.
    struct Placed
    {
        qsizetype font;
        quint32 glyph;
        QPointF position;
    };
    /// The glyphs of one font met so far.
    struct FontGlyphs
    {
        QRawFont font;
        QHash<quint32, QPainterPath> outlines;
    };

    const QList<Placed>& layout(const QString& text);
    qsizetype fontIndex(const QRawFont& font);
    const QPainterPath& glyph(qsizetype font, quint32 glyph);

    QFont m_font;
    QHash<QString, QList<Placed>> m_layouts;
    QHash<QString, QPainterPath> m_outlines;
    QList<FontGlyphs> m_fonts;
};

} // namespace calidra
