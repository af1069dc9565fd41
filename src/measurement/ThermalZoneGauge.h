// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Gauge.h"
#include "hardware/ProcessorTemperatureSensor.h"

#include <QByteArray>

#include <memory>

namespace calidra {

/// The processor temperature in degrees Celsius from the kernel thermal zone
/// that measures the processor (see ThermalZone), read by a
/// ProcessorTemperatureSensor: the zone found stays open and a sample reads it
/// once; a reading that fails lets it go, and the next sample looks for a
/// zone afresh, so a zone that comes back is found again. Main thread only.
class ThermalZoneGauge : public Gauge
{
public:
    /// A gauge that looks for the zone below `systemRoot` at its first sample.
    explicit ThermalZoneGauge(QByteArray systemRoot);
    ~ThermalZoneGauge() override;

    /// A gauge over the processor's zone below the current KernelValues'
    /// root; null when there is no current KernelValues or no such zone now.
    static std::unique_ptr<ThermalZoneGauge> initWithCurrentSystemRoot();

    /// The zone's temperature; 0.0 while no zone gives a plausible one.
    float gauge() override;

    bool hasSource() const override;
    /// The zone's type and folder, "x86_pkg_temp (thermal_zone2)".
    std::optional<QString> sensorInUse() const override;
    /// Names the zone last found, if one ever was.
    QString noReadingReason() const override;

private:
    ProcessorTemperatureSensor m_sensor;
    ProcessorTemperatureSensor::Reading m_reading;
};

} // namespace calidra
