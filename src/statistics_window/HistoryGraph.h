// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Frame.h"

#include <QPolygonF>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QFontMetrics;
class QPainter;

namespace calidra {

class GaugeReader;
class GraphScale;
class ValueTransformer;

/// The last ten minutes of one measurement as a line graph under its panel:
/// the line through the reader's history (see GraphScale for where each
/// sample goes), the ten-minute minimum, average and maximum as faint
/// horizontal lines, and a value axis labelled by the panel's transformer at
/// its bottom, middle and top. Without samples it says so.
///
/// It keeps a copy of what it draws, so that a reader destroyed between two
/// updates never reaches the painting. An update repaints the plot alone
/// while the axis stays as it was: the frame and the labels are drawn again
/// only when the axis changes. Main thread only.
class HistoryGraph : public QWidget
{
    Q_OBJECT

public:
    static constexpr double Width = 340;
    static constexpr double Height = 110;

    /// A graph with its lower-left corner at `origin` in `parent`, which must
    /// not be null and which owns it.
    HistoryGraph(QPointF origin, QWidget* parent);

    /// Copies the reader's history and ten-minute statistics, labels the axis
    /// with `transformer` (which must outlive the graph) and asks for a redraw.
    void updateWithGaugeReader(const GaugeReader& reader, const ValueTransformer& transformer);

    /// Draws the graph, at its size, with `painter`.
    void draw(QPainter& painter);

    /// Where the graph stands in its parent.
    const Frame& frame() const { return m_frame; }
    /// Moves the graph within its parent.
    void setFrame(const Frame& frame);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    using Ticks = std::array<double, 3>;
    using Labels = std::array<QString, 3>;

    /// What the axis shows and where the plot stands, from the values and
    /// the labels' font.
    struct Axis
    {
        Labels labels;
        double labelWidth = 0;
        double half = 0;
        QRectF plot;
        bool operator==(const Axis& other) const = default;
    };

    static Ticks ticksOf(const GraphScale& scale);
    void repaintChanged();
    Axis axisFor(const QFontMetrics& metrics, GraphScale& scale) const;
    std::array<float, 3> statistics() const;
    void drawFrame(QPainter& painter) const;
    void drawNoSamples(QPainter& painter) const;
    void drawAxis(QPainter& painter, const GraphScale& scale, const Ticks& ticks,
                  const Labels& labels, const QRectF& box) const;
    void drawStatistics(QPainter& painter, const GraphScale& scale, double left,
                        double right) const;
    void drawSamples(QPainter& painter, const GraphScale& scale);

    const ValueTransformer* m_transformer = nullptr;
    std::vector<float> m_values;
    int m_capacity = 1;
    float m_tenMinuteMinimum = 0;
    float m_tenMinuteAverage = 0;
    float m_tenMinuteMaximum = 0;
    QPolygonF m_line;
    Frame m_frame;
    // The axis of the last update; none while there are no samples.
    std::optional<Axis> m_axis;
};

} // namespace calidra
