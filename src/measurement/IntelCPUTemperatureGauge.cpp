// SPDX-License-Identifier: GPL-3.0-or-later
#include "IntelCPUTemperatureGauge.h"

#include "formatting/ObjectFormat.h"
#include "hardware/KernelValueQueries.h"
#include "hardware/KernelValues.h"
#include "hardware/PlausibleTemperature.h"
#include "hardware/ProcessorTemperatureInputs.h"
#include "platform/Localization.h"

namespace calidra {
namespace {

QByteArray currentSystemRoot()
{
    const KernelValues* values = KernelValues::current();
    return values ? values->systemRoot() : QByteArray();
}

} // namespace

IntelCPUTemperatureGauge::IntelCPUTemperatureGauge(const std::optional<QString>& model)
    : m_model(model), m_zone(currentSystemRoot())
{}

float IntelCPUTemperatureGauge::gauge()
{
    if (m_source != Source::Zone || ++m_samplesOnZone >= DriverRetrySamples) {
        m_samplesOnZone = 0;
        // A faulty channel (2147483647, or below zero) is no reading: the
        // zone stands in as for a driver that gives nothing.
        const qint32 driver = querySysctlValueAsInt("kern.cpu_temp");
        if (PlausibleTemperature::contains(driver)) {
            m_source = Source::Driver;
            return float(driver);
        }
    }
    const float zone = KernelValues::current() ? m_zone.gauge() : 0.0F;
    m_source = m_zone.hasSource() && KernelValues::current() ? Source::Zone : Source::None;
    return zone;
}

bool IntelCPUTemperatureGauge::hasSource() const
{
    return m_source != Source::None;
}

std::optional<QString> IntelCPUTemperatureGauge::sensorInUse() const
{
    switch (m_source) {
    case Source::Driver:
        return KernelValues::current() ? KernelValues::current()->temperatureSource()
                                       : std::nullopt;
    case Source::Zone:
        return m_zone.sensorInUse();
    case Source::None:
        break;
    }
    return std::nullopt;
}

QString IntelCPUTemperatureGauge::noReadingReason() const
{
    const std::optional<QByteArray> driver =
        m_model ? processorTemperatureDriver(m_model->toStdString()) : std::nullopt;
    const KernelValues* values = KernelValues::current();
    if (!driver || !values) {
        return Gauge::noReadingReason();
    }
    const QString name = QString::fromLatin1(*driver);
    if (isProcessorTemperatureDriverLoaded(values->systemRoot())) {
        return silentSensorReason(name);
    }
    return stringWithFormat(localizedFormat(QT_TRANSLATE_NOOP(
                                "Calidra", "The processor temperature driver (%@) is not loaded.")),
                            {name});
}

} // namespace calidra
