// SPDX-License-Identifier: GPL-3.0-or-later
#include "ThermalZoneGauge.h"

#include "hardware/KernelValues.h"
#include "hardware/ThermalZone.h"

namespace calidra {

ThermalZoneGauge::ThermalZoneGauge(QByteArray systemRoot) : m_root(std::move(systemRoot))
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
    if (!m_zone) {
        const bool reported = SearchReport::isWanted();
        QStringList seen;
        m_zone = ThermalZone::find(m_root, reported ? &seen : nullptr);
        if (reported) {
            m_report.tell("thermal zones",
                          (seen.isEmpty() ? u"no thermal zone"_qs : seen.join(u"; "_qs)) +
                              u" -> "_qs + (m_zone ? m_zone->description() : u"none"_qs));
        }
    }
    const std::optional<float> degrees = m_zone ? m_zone->degrees() : std::nullopt;
    if (m_zone) {
        m_lastZone = m_zone->description();
    }
    if (!degrees) {
        m_zone.reset();
    }
    return degrees.value_or(0.0F);
}

bool ThermalZoneGauge::hasSource() const
{
    return m_zone != nullptr;
}

std::optional<QString> ThermalZoneGauge::sensorInUse() const
{
    return m_zone ? std::optional<QString>(m_zone->description()) : std::nullopt;
}

QString ThermalZoneGauge::noReadingReason() const
{
    return m_lastZone ? silentSensorReason(*m_lastZone) : Gauge::noReadingReason();
}

} // namespace calidra
