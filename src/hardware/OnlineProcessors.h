// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>
#include <string_view>

namespace calidra {

/// The processors that the kernel lists as online, read from its list form
/// ("0-3,5,7-8", as in /sys/devices/system/cpu/online): how many there are and
/// which comes first.
class OnlineProcessors
{
public:
    /// Reads a list of numbers and ranges in ascending order, optionally followed
    /// by one line feed. Absent for an empty list, anything but digits, commas
    /// and dashes, a reversed, overlapping or unordered range, a number beyond
    /// 32 bits or a total count beyond 32 signed bits. Ranges are counted, not
    /// walked, so a huge range costs no time.
    static std::optional<OnlineProcessors> parse(std::string_view list);

    /// The number of the first online processor.
    quint32 first() const { return m_first; }
    /// How many processors are online (at least one).
    qint32 count() const { return m_count; }

private:
    OnlineProcessors(quint32 first, qint32 count);

    quint32 m_first;
    qint32 m_count;
};

} // namespace calidra
