// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleHistory.h"

#include <cmath>

namespace calidra {
namespace {

constexpr double TenMinutes = 600.0;

} // namespace

int SampleHistory::capacityForInterval(double interval)
{
    // Compared in double before any conversion, so that a tiny interval from a
    // hand-edited file cannot ask for more than the maximum.
    const double slots = std::ceil(TenMinutes / interval);
    if (!(interval > 0) || !(slots < MaximumCapacity)) {
        return MaximumCapacity;
    }
    return slots >= 1 ? int(slots) : 1;
}

SampleHistory::SampleHistory(double interval)
{
    rebuild(interval);
}

void SampleHistory::rebuild(double interval)
{
    // A fresh vector of exactly the new size, so that a smaller capacity also
    // gives its memory back.
    std::vector<float>(std::size_t(capacityForInterval(interval))).swap(m_values);
    clear();
}

void SampleHistory::clear()
{
    m_next = 0;
    m_size = 0;
}

// No division on the sampling path: the write position wraps by comparison.
void SampleHistory::push(float value)
{
    if (!std::isfinite(value)) {
        return;
    }
    const int count = capacity();
    m_values[std::size_t(m_next)] = value;
    if (++m_next == count) {
        m_next = 0;
    }
    if (m_size < count) {
        ++m_size;
    }
}

float SampleHistory::at(int index) const
{
    const int count = capacity();
    int slot = (m_size < count ? 0 : m_next) + index;
    if (slot >= count) {
        slot -= count;
    }
    return m_values[std::size_t(slot)];
}

} // namespace calidra
