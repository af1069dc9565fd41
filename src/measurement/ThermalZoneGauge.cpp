// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThermalZoneGauge.h"

#include "hardware/KernelValues.h"

namespace calidra {

ThermalZoneGauge::ThermalZoneGauge(QByteArray systemRoot)
    : m_sensor(ProcessorTemperatureSensor::Input::ThermalZone, std::move(systemRoot))
{}

ThermalZoneGauge::~ThermalZoneGauge() = default;

std::unique_ptr<ThermalZoneGauge> ThermalZoneGauge::initWithCurrentSystemRoot()
{
    const KernelValues* values = KernelValues::current();
    if (!values) {
        return nullptr;
    }
    auto gauge = std::make_unique<ThermalZoneGauge>(values->systemRoot());
    gauge->gauge();
    return gauge->hasSource() ? std::move(gauge) : nullptr;
}

float ThermalZoneGauge::gauge()
{
    m_reading = m_sensor.read();
    return m_reading.celsius;
}

bool ThermalZoneGauge::hasSource() const
{
    return m_reading.outcome == ProcessorTemperatureSensor::Outcome::Temperature;
}

std::optional<QString> ThermalZoneGauge::sensorInUse() const
{
    return hasSource() ? m_reading.sensor : std::nullopt;
}

QString ThermalZoneGauge::noReadingReason() const
{
    return m_reading.sensor ? silentSensorReason(*m_reading.sensor) : Gauge::noReadingReason();
}

} // namespace calidra
