// SPDX-License-Identifier: GPL-3.0-or-later
#include "GlyphOutlines.h"

#include <QGlyphRun>
#include <QTextLayout>

namespace calidra {

GlyphOutlines::GlyphOutlines(const QFont& font) : m_font(font)
{}

// A kept outline keeps its bounds too, which the faces measure often.
QPainterPath GlyphOutlines::outline(const QString& text)
{
    if (const auto kept = m_outlines.constFind(text); kept != m_outlines.constEnd()) {
        return *kept;
    }
    if (m_outlines.size() >= MaximumOutlines) {
        m_outlines.clear();
    }
    QPainterPath path;
    for (const Placed& placed : layout(text)) {
        path.addPath(glyph(placed.font, placed.glyph).translated(placed.position));
    }
    return *m_outlines.insert(text, path);
}

// Shaping is what QPainterPath::addText does too: one line, as wide as the
// text needs. A text met too rarely to stay among the kept ones is shaped
// again; the collection starts anew rather than tracking which is oldest.
const QList<GlyphOutlines::Placed>& GlyphOutlines::layout(const QString& text)
{
    if (const auto kept = m_layouts.constFind(text); kept != m_layouts.constEnd()) {
        return *kept;
    }
    if (m_layouts.size() >= MaximumLayouts) {
        m_layouts.clear();
    }
    // A font is its engine: should the font cache ever give new engines for
    // the same fonts, the glyphs start anew instead of piling up. Never while
    // a text is laid out, whose glyphs name the fonts by their place.
    if (m_fonts.size() >= MaximumFonts) {
        m_fonts.clear();
        m_layouts.clear();
        m_outlines.clear();
    }
    QTextLayout shaped(text, m_font);
    shaped.beginLayout();
    shaped.createLine();
    shaped.endLayout();
    QList<Placed> glyphs;
    for (const QGlyphRun& run : shaped.glyphRuns()) {
        const qsizetype font = fontIndex(run.rawFont());
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
            glyphs.append({font, indexes[i], positions[i]});
        }
    }
    return *m_layouts.insert(text, glyphs);
}

qsizetype GlyphOutlines::fontIndex(const QRawFont& font)
{
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        if (m_fonts[i].font == font) {
            return i;
        }
    }
    m_fonts.append({font, {}});
    return m_fonts.size() - 1;
}

const QPainterPath& GlyphOutlines::glyph(qsizetype font, quint32 glyph)
{
    FontGlyphs& glyphs = m_fonts[font];
    auto kept = glyphs.outlines.find(glyph);
    if (kept == glyphs.outlines.end()) {
        kept = glyphs.outlines.insert(glyph, glyphs.font.pathForGlyph(glyph));
    }
    return *kept;
}

} // namespace calidra
