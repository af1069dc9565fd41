// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <cmath>
#include <cstddef>
#include <vector>

namespace calidra {

/// The accepted readings of the last ten minutes, oldest first, each with the
/// time it was taken, in a ring sized from the sampling interval: one slot per
/// interval in ten minutes, rounded up, at least 1 and at most
/// MaximumCapacity. The storage is allocated once per rebuild; adding a
/// reading never allocates. A reading that is not finite is never kept.
class SampleHistory
{
public:
    /// The most readings kept: ten minutes at the shortest interval offered,
    /// half a second.
    static constexpr int MaximumCapacity = 1200;

    /// The capacity for an interval in seconds: ceil(600 / interval) within
    /// 1 .. MaximumCapacity; an interval that is not greater than 0 gets the
    /// maximum.
    static int capacityForInterval(double interval);

    /// An empty history for readings every `interval` seconds.
    explicit SampleHistory(double interval);

    /// Empties the history and sizes it for readings every `interval` seconds.
    void rebuild(double interval);
    /// Forgets every reading, keeping the capacity.
    void clear();
    /// Adds a reading taken at `time` (milliseconds since 1970 in UTC),
    /// dropping the oldest one when full; NaN and infinities are ignored.
    /// Inline, as it runs at every sample whether or not anything shows the
    /// history.
    void push(float value, qint64 time)
    {
        if (!std::isfinite(value)) {
            return;
        }
        // No division: the write position wraps by comparison.
        m_values[std::size_t(m_next)] = value;
        m_times[std::size_t(m_next)] = time;
        if (++m_next == m_capacity) {
            m_next = 0;
        }
        if (m_size < m_capacity) {
            ++m_size;
        }
    }

    /// The sampling interval the history was sized for, in seconds.
    double interval() const { return m_interval; }
    int capacity() const { return m_capacity; }
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    /// The reading `index` places after the oldest; `index` must lie in 0 .. size() - 1.
    float at(int index) const;
    /// When that reading was taken, in milliseconds since 1970 in UTC.
    qint64 timeAt(int index) const;
    /// The bytes held for the readings and their times.
    std::size_t memoryBytes() const
    {
        return m_values.capacity() * sizeof(float) + m_times.capacity() * sizeof(qint64);
    }

private:
    int slot(int index) const;

    std::vector<float> m_values;
    std::vector<qint64> m_times;
    double m_interval = 0;
    int m_capacity = 0;
    // Where the next reading goes; the oldest sits there once the ring is full.
    int m_next = 0;
    int m_size = 0;
};

} // namespace calidra
