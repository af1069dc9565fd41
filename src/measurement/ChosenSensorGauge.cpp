// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChosenSensorGauge.h"

#include "formatting/ObjectFormat.h"
#include "platform/Localization.h"

namespace calidra {

using Outcome = ProcessorTemperatureSensor::Outcome;

ChosenSensorGauge::ChosenSensorGauge(TemperatureInputIdentity chosen, QByteArray systemRoot)
    : m_chosen(chosen), m_sensor(std::move(chosen), std::move(systemRoot))
{}

ChosenSensorGauge::~ChosenSensorGauge() = default;

float ChosenSensorGauge::gauge()
{
    // A missing input is searched for among every hwmon device and zone; it
    // does not come back within a few seconds.
    if (m_samplesMissing > 0 && ++m_samplesMissing <= RetrySamples) {
        return 0.0F;
    }
    m_reading = m_sensor.read();
    m_samplesMissing = m_reading.outcome == Outcome::NoSensor ? 1 : 0;
    return m_reading.celsius;
}

bool ChosenSensorGauge::hasSource() const
{
    return m_reading.outcome == Outcome::Temperature;
}

std::optional<QString> ChosenSensorGauge::sensorInUse() const
{
    return hasSource() ? m_reading.sensor : std::nullopt;
}

QString ChosenSensorGauge::noReadingReason() const
{
    if (m_reading.outcome != Outcome::NoSensor) {
        return silentSensorReason(*chosenSensor());
    }
    return stringWithFormat(
        localizedFormat(QT_TRANSLATE_NOOP("Calidra", "The chosen sensor (%@) cannot be found.")),
        {*chosenSensor()});
}

std::optional<QString> ChosenSensorGauge::chosenSensor() const
{
    return m_reading.sensor.value_or(m_chosen.displayName());
}

} // namespace calidra
