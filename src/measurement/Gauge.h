#pragma once
// Kept name: "Gauge" is one measurement source, asked at each sample; see docs/GLOSSARY.md.

#include <memory>

namespace calidra {

/// A source of one measurement, asked afresh at every call: temperatures in
/// degrees Celsius, frequencies in megahertz. The base gauge measures nothing
/// and gives a quiet NaN; the concrete gauges replace it.
class Gauge
{
public:
    virtual ~Gauge();

    /// A new temperature gauge for this machine: the kernel-value gauge on
    /// models of the Intel model list, else the sensor-table gauge. Null when
    /// the sensor-table gauge cannot be made (no model, no table row, no
    /// sensor found).
    static std::shared_ptr<Gauge> CPUTemperatureGauge();

    /// A new clock-frequency gauge on models of the Intel model list; null on
    /// every other machine, which has no frequency to report.
    static std::shared_ptr<Gauge> CPUFrequencyGauge();

    /// The current measurement.
    virtual float gauge();
};

} // namespace calidra
