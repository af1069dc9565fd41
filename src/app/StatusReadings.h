// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

namespace calidra {

class GaugeReader;
class TemperatureAlarm;

/// What the status item, its tooltip and the status menu show of the two
/// readers and the alarm, taken at one moment: plain values, so that it can
/// be kept, compared with what was shown, and composed into texts later,
/// after the readers may be gone.
struct StatusReadings
{
    /// One reader's part; `exists` is false for a reader that does not run.
    struct Reader
    {
        bool exists = false;
        /// GaugeReader::hasNoReading, with the reason why (empty otherwise).
        bool noReading = false;
        QString noReadingReason;
        /// GaugeReader::hasAcceptedReading: whether the statistics count.
        bool hasStatistics = false;
        float current = 0;
        /// The ten-minute minimum, average and maximum, then the overall ones.
        std::array<float, 6> statistics{};
        /// The sampling interval in seconds.
        double interval = 0;

        /// What `reader` (null for none) holds now.
        static Reader of(const GaugeReader* reader);
        bool operator==(const Reader& other) const = default;
    };

    Reader temperature;
    Reader frequency;
    /// Whether the temperature alarm is active.
    bool alarm = false;

    /// What the readers (either may be null) and the alarm (null for none)
    /// hold now.
    static StatusReadings of(const GaugeReader* temperature, const GaugeReader* frequency,
                             const TemperatureAlarm* alarm);
    bool operator==(const StatusReadings& other) const = default;
};

} // namespace calidra
