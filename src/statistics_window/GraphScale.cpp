// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calidra {

GraphScale::GraphScale(const QRectF& plot, int capacity)
    : m_plot(plot), m_capacity(std::max(capacity, 1)),
      m_lowest(std::numeric_limits<double>::infinity()),
      m_highest(-std::numeric_limits<double>::infinity())
{}

void GraphScale::include(float value)
{
    if (!std::isfinite(value)) {
        return;
    }
    m_lowest = std::min(m_lowest, double(value));
    m_highest = std::max(m_highest, double(value));
}

// Before any value the range lies around 0. Floats are far inside double's
// range, so the sums and differences here stay finite.
double GraphScale::middle() const
{
    return m_lowest <= m_highest ? (m_lowest + m_highest) / 2 : 0.0;
}

double GraphScale::span() const
{
    return m_lowest <= m_highest ? std::max(m_highest - m_lowest, MinimumSpan) : MinimumSpan;
}

double GraphScale::lowest() const
{
    return middle() - span() / 2;
}

double GraphScale::highest() const
{
    return middle() + span() / 2;
}

double GraphScale::y(double value) const
{
    const double fraction = std::clamp((value - lowest()) / span(), 0.0, 1.0);
    return m_plot.bottom() - fraction * m_plot.height();
}

double GraphScale::x(int index, int size) const
{
    if (m_capacity == 1) {
        return m_plot.right();
    }
    const int age = size - 1 - index;
    return m_plot.right() - age * m_plot.width() / (m_capacity - 1);
}

} // namespace calidra
