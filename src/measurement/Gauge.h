#pragma once

namespace calidra {

/// A source of one measurement, asked afresh at every call: temperatures in
/// degrees Celsius, frequencies in megahertz. The base gauge measures nothing
/// and gives a quiet NaN; the concrete gauges replace it.
class Gauge
{
public:
    virtual ~Gauge();

    /// The current measurement.
    virtual float gauge();
};

} // namespace calidra
