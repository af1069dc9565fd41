// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusReadings.h"

#include "measurement/GaugeReader.h"
#include "measurement/TemperatureAlarm.h"

namespace calidra {

StatusReadings::Reader StatusReadings::Reader::of(const GaugeReader* reader)
{
    if (!reader) {
        return {};
    }
    Reader read;
    read.exists = true;
    read.noReading = reader->hasNoReading();
    // Worked out only while it is shown: a reading's reason is none.
    if (read.noReading) {
        read.noReadingReason = reader->noReadingReason();
    }
    read.hasStatistics = reader->hasAcceptedReading();
    read.current = reader->currentValue();
    read.statistics = {reader->tenMinuteMinimum(), reader->tenMinuteAverage(),
                       reader->tenMinuteMaximum(), reader->overallMinimum(),
                       reader->overallAverage(),   reader->overallMaximum()};
    read.interval = reader->frequency();
    return read;
}

StatusReadings StatusReadings::of(const GaugeReader* temperature, const GaugeReader* frequency,
                                  const TemperatureAlarm* alarm)
{
    return {Reader::of(temperature), Reader::of(frequency), alarm && alarm->isActive()};
}

} // namespace calidra
