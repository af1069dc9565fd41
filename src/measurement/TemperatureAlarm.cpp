// SPDX-License-Identifier: GPL-3.0-or-later
#include "TemperatureAlarm.h"

#include "defaults/UserDefaults.h"

#include <cmath>

namespace calidra {
namespace {

// Counted time is a sum of intervals such as 0.1, which may fall short of a
// whole minute by a rounding error.
constexpr double CountingTolerance = 1e-6;

} // namespace

void TemperatureAlarm::setEnabled(bool enabled)
{
    if (enabled != m_enabled) {
        m_enabled = enabled;
        reset();
    }
}

void TemperatureAlarm::setThreshold(float celsius)
{
    const float bounded = Settings::AlarmTemperature::value(celsius);
    if (bounded != m_threshold) {
        m_threshold = bounded;
        reset();
    }
}

void TemperatureAlarm::configure(const UserDefaults& defaults)
{
    setEnabled(defaults.value<Settings::AlarmEnabled>());
    setThreshold(defaults.value<Settings::AlarmTemperature>());
}

bool TemperatureAlarm::sample(float celsius, double interval)
{
    if (!m_enabled || !std::isfinite(celsius) || !std::isfinite(interval) || interval <= 0) {
        return false;
    }
    if (m_active) {
        m_coolSeconds = celsius <= m_threshold - RecoveryMargin ? m_coolSeconds + interval : 0;
        if (m_coolSeconds >= RecoverySeconds - CountingTolerance) {
            reset();
        }
        return false;
    }
    m_hotSamples = celsius >= m_threshold ? m_hotSamples + 1 : 0;
    m_active = m_hotSamples >= FiringSamples;
    return m_active;
}

void TemperatureAlarm::reset()
{
    m_active = false;
    m_hotSamples = 0;
    m_coolSeconds = 0;
}

} // namespace calidra
