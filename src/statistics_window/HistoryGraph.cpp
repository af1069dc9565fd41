// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryGraph.h"

#include "GraphScale.h"
#include "formatting/ValueTransformer.h"
#include "measurement/GaugeReader.h"
#include "platform/Localization.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace calidra {
namespace {

constexpr int LabelSize = 10;
constexpr double Margin = 6;
constexpr double LabelGap = 4;
// The faint lines and the frame, as alpha over the text colour.
constexpr int StatisticsAlpha = 70;
constexpr int FrameAlpha = 40;
constexpr int NoSamplesAlpha = 160;
// The frame is drawn in bands of this many rows.
constexpr int FrameBand = 40;
// How far the line's and the dots' antialiased edges reach beyond the plot.
constexpr double PlotBleed = 3;

QColor faint(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

} // namespace

HistoryGraph::HistoryGraph(QPointF origin, QWidget* parent) : QWidget(parent)
{
    m_values.reserve(std::size_t(SampleHistory::MaximumCapacity));
    m_line.reserve(SampleHistory::MaximumCapacity);
    setFrame({origin.x(), origin.y(), Width, Height});
    QFont font = this->font();
    font.setPixelSize(LabelSize);
    setFont(font);
}

void HistoryGraph::setFrame(const Frame& frame)
{
    m_frame = frame;
    setGeometry(frame.toQt(parentWidget()->height()));
}

void HistoryGraph::updateWithGaugeReader(const GaugeReader& reader,
                                         const ValueTransformer& transformer)
{
    const SampleHistory& history = reader.history();
    m_transformer = &transformer;
    m_capacity = history.capacity();
    m_values.resize(std::size_t(history.size()));
    for (int index = 0; index < history.size(); ++index) {
        m_values[std::size_t(index)] = history.at(index);
    }
    m_tenMinuteMinimum = reader.tenMinuteMinimum();
    m_tenMinuteAverage = reader.tenMinuteAverage();
    m_tenMinuteMaximum = reader.tenMinuteMaximum();
    repaintChanged();
}

// A new sample moves the whole line, but while the scale keeps its labels
// only the plot changes: the frame and the axis stay as they are painted.
void HistoryGraph::repaintChanged()
{
    std::optional<Axis> axis;
    if (!m_values.empty() && m_transformer) {
        GraphScale scale({}, m_capacity);
        axis = axisFor(fontMetrics(), scale);
    }
    if (axis && m_axis == axis) {
        update(axis->plot.adjusted(-PlotBleed, -PlotBleed, PlotBleed, PlotBleed).toAlignedRect());
    } else {
        update();
    }
    m_axis = std::move(axis);
}

void HistoryGraph::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    draw(painter);
}

// Band by band: Qt's raster engine hands a fill of 96 rows or more to its
// thread pool and waits for it, which the frame's sides, drawn at once,
// would make it do at every full repaint. Clipped, the same stroke draws
// each pixel as it would at once.
void HistoryGraph::drawFrame(QPainter& painter) const
{
    painter.setPen(faint(palette().color(QPalette::Text), FrameAlpha));
    for (int top = 0; top < height(); top += FrameBand) {
        painter.save();
        painter.setClipRect(QRect(0, top, width(), FrameBand), Qt::IntersectClip);
        painter.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));
        painter.restore();
    }
}

void HistoryGraph::drawNoSamples(QPainter& painter) const
{
    painter.setPen(faint(palette().color(QPalette::Text), NoSamplesAlpha));
    painter.drawText(QRectF(0, 0, width(), height()), Qt::AlignCenter,
                     localizedString(QT_TRANSLATE_NOOP("Calidra", "No samples yet")));
}

void HistoryGraph::draw(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    drawFrame(painter);
    if (m_values.empty() || !m_transformer) {
        drawNoSamples(painter);
        return;
    }
    GraphScale scale({}, m_capacity);
    const Axis axis = axisFor(painter.fontMetrics(), scale);
    drawAxis(painter, scale, ticksOf(scale), axis.labels,
             QRectF(Margin, -axis.half, axis.labelWidth, 2 * axis.half));
    drawStatistics(painter, scale, axis.plot.left(), width() - Margin);
    drawSamples(painter, scale);
}

// The axis labels are measured first: the plot starts right of the widest.
// `scale` takes the values and the plot.
HistoryGraph::Axis HistoryGraph::axisFor(const QFontMetrics& metrics, GraphScale& scale) const
{
    for (const float value : m_values) {
        scale.include(value);
    }
    for (const float value : statistics()) {
        scale.include(value);
    }
    Axis axis;
    const Ticks ticks = ticksOf(scale);
    for (std::size_t tick = 0; tick < ticks.size(); ++tick) {
        axis.labels[tick] = m_transformer->transformedValue(QVariant(float(ticks[tick])));
        axis.labelWidth =
            std::max(axis.labelWidth, double(metrics.horizontalAdvance(axis.labels[tick])));
    }
    axis.half = metrics.height() / 2.0;
    const double left = Margin + axis.labelWidth + LabelGap;
    axis.plot = QRectF(left, Margin + axis.half, width() - Margin - left,
                       height() - 2 * (Margin + axis.half));
    scale.setPlot(axis.plot);
    return axis;
}

// The bottom, middle and top of the value range, which the labels name.
HistoryGraph::Ticks HistoryGraph::ticksOf(const GraphScale& scale)
{
    return {scale.lowest(), (scale.lowest() + scale.highest()) / 2, scale.highest()};
}

std::array<float, 3> HistoryGraph::statistics() const
{
    return {m_tenMinuteMinimum, m_tenMinuteAverage, m_tenMinuteMaximum};
}

// `box` is a label's rectangle with its vertical centre at 0.
void HistoryGraph::drawAxis(QPainter& painter, const GraphScale& scale, const Ticks& ticks,
                            const Labels& labels, const QRectF& box) const
{
    painter.setPen(palette().color(QPalette::Text));
    for (std::size_t tick = 0; tick < ticks.size(); ++tick) {
        painter.drawText(box.translated(0, scale.y(ticks[tick])), Qt::AlignRight | Qt::AlignVCenter,
                         labels[tick]);
    }
}

void HistoryGraph::drawStatistics(QPainter& painter, const GraphScale& scale, double left,
                                  double right) const
{
    painter.setPen(QPen(faint(palette().color(QPalette::Text), StatisticsAlpha), 1, Qt::DashLine));
    for (const float value : statistics()) {
        if (std::isfinite(value)) {
            painter.drawLine(QLineF(left, scale.y(value), right, scale.y(value)));
        }
    }
}

// One sample is a dot: a line needs two.
void HistoryGraph::drawSamples(QPainter& painter, const GraphScale& scale)
{
    const int size = int(m_values.size());
    const QColor colour = palette().color(QPalette::Highlight);
    if (size == 1) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(scale.x(0, 1), scale.y(m_values.front())), 2, 2);
        return;
    }
    m_line.clear();
    for (int index = 0; index < size; ++index) {
        m_line.append(QPointF(scale.x(index, size), scale.y(m_values[std::size_t(index)])));
    }
    painter.setPen(QPen(colour, 1));
    painter.drawPolyline(m_line);
}

} // namespace calidra
