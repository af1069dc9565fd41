// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "Intel" reads coretemp/k10temp hwmon via kern.cpu_temp; see docs/GLOSSARY.md.

#include "Gauge.h"
#include "hardware/ProcessorTemperatureSensor.h"

#include <QString>

#include <memory>
#include <optional>

namespace calidra {

/// The processor temperature in degrees Celsius from the processor
/// temperature driver's channels (the sensor behind the kernel value
/// "kern.cpu_temp"), on machines of the Intel model list. While the driver
/// gives no plausible temperature, the processor's thermal zone stands in;
/// meanwhile the driver is looked for again every DriverRetrySamples samples,
/// so that a driver loaded later takes over without a search of every hwmon
/// device at each sample. Both sensors read below the system root of the
/// KernelValues current when the gauge is made; without one the gauge reads
/// nothing.
class IntelCPUTemperatureGauge : public Gauge
{
public:
    static constexpr int DriverRetrySamples = 15;

    /// A gauge for the machine model `model`: the processor vendor that says
    /// which driver a missing reading is for.
    explicit IntelCPUTemperatureGauge(const std::optional<QString>& model);
    ~IntelCPUTemperatureGauge() override;

    /// The driver's temperature in whole degrees, else the thermal zone's;
    /// 0.0 while neither gives a plausible temperature (PlausibleTemperature).
    float gauge() override;

    bool hasSource() const override;
    /// The driver and its channel ("coretemp, Package id 0"), or the zone.
    std::optional<QString> sensorInUse() const override;
    /// Names the vendor's driver: not loaded, or loaded without a reading.
    QString noReadingReason() const override;

private:
    using Reading = ProcessorTemperatureSensor::Reading;
    enum class Source { None, Driver, Zone };

    std::optional<QString> m_model;
    std::unique_ptr<ProcessorTemperatureSensor> m_driver;
    std::unique_ptr<ProcessorTemperatureSensor> m_zone;
    Reading m_driverReading;
    Reading m_zoneReading;
    Source m_source = Source::None;
    int m_samplesOnZone = 0;
};

} // namespace calidra
