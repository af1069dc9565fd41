// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "Intel" reads coretemp/k10temp hwmon via kern.cpu_temp; see docs/GLOSSARY.md.

#include "Gauge.h"
#include "ThermalZoneGauge.h"

#include <QString>

#include <optional>

namespace calidra {

/// The processor temperature in degrees Celsius from the kernel value
/// "kern.cpu_temp", which the processor temperature driver provides on
/// machines of the Intel model list. While the driver gives nothing, the
/// processor's thermal zone stands in (see ThermalZoneGauge); meanwhile the
/// driver is looked for again every DriverRetrySamples samples, so that a
/// driver loaded later takes over without a search of every hwmon device at
/// each sample.
class IntelCPUTemperatureGauge : public Gauge
{
public:
    static constexpr int DriverRetrySamples = 15;

    /// A gauge for the machine model `model`: the processor vendor that says
    /// which driver a missing reading is for.
    explicit IntelCPUTemperatureGauge(const std::optional<QString>& model);

    /// The kernel value as a float, else the thermal zone's temperature; 0.0
    /// while neither gives a plausible temperature (PlausibleTemperature).
    float gauge() override;

    bool hasSource() const override;
    /// The driver and its channel ("coretemp, Package id 0"), or the zone.
    std::optional<QString> sensorInUse() const override;
    /// Names the vendor's driver: not loaded, or loaded without a reading.
    QString noReadingReason() const override;

private:
    enum class Source { None, Driver, Zone };

    std::optional<QString> m_model;
    ThermalZoneGauge m_zone;
    Source m_source = Source::None;
    int m_samplesOnZone = 0;
};

} // namespace calidra
