// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Gauge.h"
#include "hardware/ProcessorTemperatureSensor.h"
#include "hardware/TemperatureInputIdentity.h"

#include <QByteArray>

namespace calidra {

/// The temperature in degrees Celsius of the one input the user chose
/// (`temperatureSensor`): a hwmon channel or a thermal zone found by its
/// identity, never by its number, read by a ProcessorTemperatureSensor. While
/// no one input of that identity is there (a driver not loaded yet, a drive
/// removed) it reads nothing and looks again every RetrySamples samples, as
/// the processor's driver is looked for; a found input that fails to read is
/// looked for again at the next sample. Main thread only.
class ChosenSensorGauge : public Gauge
{
public:
    static constexpr int RetrySamples = 15;

    /// A gauge of `chosen` below `systemRoot`, which searches at its first sample.
    ChosenSensorGauge(TemperatureInputIdentity chosen, QByteArray systemRoot);
    ~ChosenSensorGauge() override;

    /// The input's temperature; 0.0 while it gives no plausible one.
    float gauge() override;

    bool hasSource() const override;
    /// The input's name as the sensor list shows it ("amdgpu, edge").
    std::optional<QString> sensorInUse() const override;
    /// Names the chosen input: missing, or there without a reading.
    QString noReadingReason() const override;
    /// The input's name as found last, else as the choice names it.
    std::optional<QString> chosenSensor() const override;

private:
    TemperatureInputIdentity m_chosen;
    ProcessorTemperatureSensor m_sensor;
    ProcessorTemperatureSensor::Reading m_reading;
    int m_samplesMissing = 0;
};

} // namespace calidra
