// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "defaults/Settings.h"

namespace calidra {

class UserDefaults;

/// Decides when the processor counts as too hot, from the temperature
/// reader's accepted samples. While enabled, the alarm fires once when two
/// samples in a row reach the threshold, and then stays active until the
/// temperature has stayed at least RecoveryMargin below the threshold for
/// RecoverySeconds of counted time (samples times their interval, as the
/// reader counts time): a sample above that restarts the count. Only then can
/// it fire again. Disabled, it is never active and never fires.
///
/// Plain state, no timers: the owner feeds it each sample.
class TemperatureAlarm
{
public:
    /// Samples at or above the threshold in a row that fire the alarm.
    static constexpr int FiringSamples = 2;
    /// How far below the threshold, in degrees Celsius, and for how long, in
    /// counted seconds, the temperature must stay before the alarm ends.
    static constexpr float RecoveryMargin = 5.0F;
    static constexpr double RecoverySeconds = 60.0;

    bool isEnabled() const { return m_enabled; }
    /// Switching the alarm off or on starts it afresh: not active.
    void setEnabled(bool enabled);

    float threshold() const { return m_threshold; }
    /// Sets the threshold in degrees Celsius, held to the rule of
    /// alarmTemperature (Settings::AlarmTemperature); a real change starts the
    /// alarm afresh.
    void setThreshold(float celsius);

    /// Reads alarmEnabled and alarmTemperature.
    void configure(const UserDefaults& defaults);

    /// Takes one accepted sample in degrees Celsius that counted `interval`
    /// seconds; true exactly when the alarm fires with it. A temperature that
    /// is not a finite number, or an interval that is not a positive one, is
    /// ignored.
    bool sample(float celsius, double interval);

    /// From firing until the temperature has recovered.
    bool isActive() const { return m_active; }

    /// Forgets the samples so far: not active, nothing counted.
    void reset();

private:
    bool m_enabled = false;
    float m_threshold = Settings::AlarmTemperature::fallback;
    bool m_active = false;
    int m_hotSamples = 0;
    double m_coolSeconds = 0;
};

} // namespace calidra
