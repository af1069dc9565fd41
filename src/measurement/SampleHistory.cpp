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
    m_interval = interval;
    m_capacity = capacityForInterval(interval);
    std::vector<float>(std::size_t(m_capacity)).swap(m_values);
    std::vector<qint64>(std::size_t(m_capacity)).swap(m_times);
    clear();
}

void SampleHistory::clear()
{
    m_next = 0;
    m_size = 0;
}

int SampleHistory::slot(int index) const
{
    const int position = (m_size < m_capacity ? 0 : m_next) + index;
    return position >= m_capacity ? position - m_capacity : position;
}

float SampleHistory::at(int index) const
{
    return m_values[std::size_t(slot(index))];
}

qint64 SampleHistory::timeAt(int index) const
{
    return m_times[std::size_t(slot(index))];
}

} // namespace calidra
