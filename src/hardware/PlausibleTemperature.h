// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace calidra {

/// The one rule for what a processor temperature reading can be, whatever its
/// source (a driver channel, a thermal zone, a sensor-table row): above 0 ℃
/// and not above Hottest. Anything else is a sensor fault or a sensor that is
/// not ready (0 from a zone that has not measured yet, 2147483647 from a broken
/// channel, 3.4e38 from a row with a wrong factor) and counts as no reading.
class PlausibleTemperature
{
public:
    /// No processor runs hotter; its own protection stops it long before.
    static constexpr double Hottest = 200.0;

    /// Whether `celsius` is a temperature a processor can have. False for
    /// NaN and infinities.
    static bool contains(double celsius);
};

} // namespace calidra
