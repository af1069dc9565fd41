// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

class QTimeZone;

namespace calidra {

class SampleHistory;

/// The last ten minutes as data: the readers' histories, the rings the
/// graphs draw, as the text of a CSV file. Its first line is Header; then one
/// line per sample, oldest first: the time it was taken (see time()), the
/// temperature in degrees Celsius and the frequency in megahertz, each the
/// shortest decimal text that reads back as the same float, in the C locale
/// whatever the user's. A temperature and a frequency sample taken within half
/// the shorter of the two intervals share a line, at the earlier time; a
/// sample without a partner, and every sample of a reader that is off, leaves
/// the other field empty. Lines end with a line feed; no field needs quoting.
class HistoryCsv
{
public:
    /// The names of the three fields, the same in every language: what
    /// programs reading the file look for.
    static constexpr const char* Header = "time,temperature_celsius,frequency_mhz";

    /// The text for the histories (either or both may be null for a reader
    /// that is off), the times in `zone`.
    static QString text(const SampleHistory* temperature, const SampleHistory* frequency,
                        const QTimeZone& zone);

    /// A time (milliseconds since 1970 in UTC) as ISO 8601 local time in
    /// `zone` with that zone's offset at that moment, to the millisecond:
    /// "2025-03-30T03:00:00.000+02:00".
    static QString time(qint64 milliseconds, const QTimeZone& zone);
};

} // namespace calidra
