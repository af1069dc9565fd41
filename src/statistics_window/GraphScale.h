// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>

namespace calidra {

/// Where the history graph puts its readings: values up the plot rectangle,
/// ages across it. The value range covers every finite value included and
/// spans at least MinimumSpan around their middle, so that equal values, one
/// value or none give a level line in the middle instead of a division by
/// zero. Ages count in samples: the newest stands at the right edge and a full
/// history reaches the left edge, so a history that is still filling starts
/// where its oldest sample's age puts it.
class GraphScale
{
public:
    /// The smallest value range shown, in the reader's units (degrees Celsius
    /// or megahertz).
    static constexpr double MinimumSpan = 2;

    /// A scale for a history of `capacity` samples drawn into `plot` (Qt
    /// coordinates, y down).
    GraphScale(const QRectF& plot, int capacity);

    /// Draws into `plot` from now on.
    void setPlot(const QRectF& plot) { m_plot = plot; }

    /// Widens the value range to hold `value`; NaN and infinities are ignored.
    void include(float value);

    /// The values at the bottom and at the top of the plot.
    double lowest() const;
    double highest() const;

    /// The pixel row of `value`: the bottom edge for lowest(), the top edge
    /// for highest(), held within the plot beyond them.
    double y(double value) const;
    /// The pixel column of the sample `index` places after the oldest of
    /// `size` samples.
    double x(int index, int size) const;

private:
    double middle() const;
    double span() const;

    QRectF m_plot;
    int m_capacity;
    double m_lowest;
    double m_highest;
};

} // namespace calidra
