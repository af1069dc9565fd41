// SPDX-License-Identifier: GPL-3.0-or-later
#include "IntelCPUTemperatureGauge.h"

#include "formatting/ObjectFormat.h"
#include "hardware/KernelValues.h"
#include "hardware/ProcessorTemperatureInputs.h"
#include "platform/Localization.h"

namespace calidra {
namespace {

using Input = ProcessorTemperatureSensor::Input;
using Outcome = ProcessorTemperatureSensor::Outcome;

std::unique_ptr<ProcessorTemperatureSensor> currentSensor(Input input)
{
    const KernelValues* values = KernelValues::current();
    return values ? std::make_unique<ProcessorTemperatureSensor>(input, values->systemRoot())
                  : nullptr;
}

} // namespace

IntelCPUTemperatureGauge::IntelCPUTemperatureGauge(const std::optional<QString>& model)
    : m_model(model), m_driver(currentSensor(Input::DriverChannels)),
      m_zone(currentSensor(Input::ThermalZone))
{}

IntelCPUTemperatureGauge::~IntelCPUTemperatureGauge() = default;

float IntelCPUTemperatureGauge::gauge()
{
    if (!m_driver) {
        return 0.0F;
    }
    if (m_source != Source::Zone || ++m_samplesOnZone >= DriverRetrySamples) {
        m_samplesOnZone = 0;
        // A faulty channel (2147483647, or below zero) is no reading: the
        // zone stands in as for a driver that gives nothing.
        m_driverReading = m_driver->read();
        if (m_driverReading.outcome == Outcome::Temperature) {
            m_source = Source::Driver;
            return m_driverReading.celsius;
        }
    }
    m_zoneReading = m_zone->read();
    m_source = m_zoneReading.outcome == Outcome::Temperature ? Source::Zone : Source::None;
    return m_zoneReading.celsius;
}

bool IntelCPUTemperatureGauge::hasSource() const
{
    return m_source != Source::None;
}

std::optional<QString> IntelCPUTemperatureGauge::sensorInUse() const
{
    switch (m_source) {
    case Source::Driver:
        return m_driverReading.sensor;
    case Source::Zone:
        return m_zoneReading.sensor;
    case Source::None:
        break;
    }
    return std::nullopt;
}

QString IntelCPUTemperatureGauge::noReadingReason() const
{
    const std::optional<QByteArray> driver =
        m_model ? processorTemperatureDriver(m_model->toStdString()) : std::nullopt;
    if (!driver || !m_driver) {
        return Gauge::noReadingReason();
    }
    const QString name = QString::fromLatin1(*driver);
    if (m_driverReading.outcome != Outcome::NoSensor) {
        return silentSensorReason(name);
    }
    return stringWithFormat(localizedFormat(QT_TRANSLATE_NOOP(
                                "Calidra", "The processor temperature driver (%@) is not loaded.")),
                            {name});
}

} // namespace calidra
