// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace calidra {

/// The accepted readings of the last ten minutes, oldest first, in a ring of
/// floats sized from the sampling interval: one slot per interval in ten
/// minutes, rounded up, at least 1 and at most MaximumCapacity. The storage is
/// allocated once per rebuild; adding a reading never allocates. A reading
/// that is not finite is never kept.
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
    /// Adds a reading, dropping the oldest one when full; NaN and infinities
    /// are ignored. Inline, as it runs at every sample whether or not anything
    /// shows the history.
    void push(float value)
    {
        if (!std::isfinite(value)) {
            return;
        }
        // No division: the write position wraps by comparison.
        m_values[std::size_t(m_next)] = value;
        if (++m_next == m_capacity) {
            m_next = 0;
        }
        if (m_size < m_capacity) {
            ++m_size;
        }
    }

    int capacity() const { return m_capacity; }
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    /// The reading `index` places after the oldest; `index` must lie in 0 .. size() - 1.
    float at(int index) const;
    /// The bytes held for the readings.
    std::size_t memoryBytes() const { return m_values.capacity() * sizeof(float); }

private:
    std::vector<float> m_values;
    int m_capacity = 0;
    // Where the next reading goes; the oldest sits there once the ring is full.
    int m_next = 0;
    int m_size = 0;
};

} // namespace calidra
