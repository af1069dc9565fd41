// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaultsSetup.h"

#include "defaults/DefaultsKeys.h"
#include "defaults/DefaultsLog.h"
#include "defaults/UserDefaults.h"

#include <algorithm>

namespace calidra {
namespace {

/// A stored useFahrenheit counts whatever it says: even a value reading false
/// is an explicit choice of Celsius.
void migrateLegacyUnit(UserDefaults& defaults)
{
    if (!defaults.objectForKey(DefaultsKeys::useFahrenheit).isValid()) {
        return;
    }
    const bool fahrenheit = defaults.boolForKey(DefaultsKeys::useFahrenheit);
    defaults.setInteger(fahrenheit ? DefaultsKeys::unitFahrenheit : DefaultsKeys::unitCelsius,
                        DefaultsKeys::displayUnit);
    defaults.removeObjectForKey(DefaultsKeys::useFahrenheit);
    qCDebug(defaultsLog) << "an earlier release's useFahrenheit became displayUnit"
                         << defaults.integerForKey(DefaultsKeys::displayUnit);
}

/// No interval at all (zero, less or a number too small for a float) leaves
/// no reader, so the program would report a sensor missing that works; a tiny
/// one samples without pause and a huge one never.
void correctInterval(UserDefaults& defaults)
{
    const double interval = defaults.floatForKey(DefaultsKeys::frequency);
    if (!(interval > 0)) {
        defaults.removeObjectForKey(DefaultsKeys::frequency);
        qCDebug(defaultsLog) << "the sampling interval" << interval
                             << "was removed: the fallback stands in";
    } else if (interval < DefaultsKeys::shortestInterval ||
               interval > DefaultsKeys::longestInterval) {
        const double bounded =
            std::clamp(interval, DefaultsKeys::shortestInterval, DefaultsKeys::longestInterval);
        defaults.setFloat(float(bounded), DefaultsKeys::frequency);
        qCDebug(defaultsLog) << "the sampling interval" << interval << "was corrected to"
                             << bounded;
    }
}

/// Neither reader would run, and the program would report a sensor missing
/// that works; the preferences window never stores this pair.
void correctGauges(UserDefaults& defaults)
{
    if (!defaults.boolForKey(DefaultsKeys::gaugeTemperature) &&
        !defaults.boolForKey(DefaultsKeys::gaugeFrequency)) {
        defaults.setBool(true, DefaultsKeys::gaugeTemperature);
        qCDebug(defaultsLog) << "neither gauge was on: the temperature is on again";
    }
}

} // namespace

void applyUpdateCheckInterval(UserDefaults& defaults)
{
    const QVariant stored = defaults.objectForKey(DefaultsKeys::SUScheduledCheckInterval);
    const QString interval = QString::number(DefaultsKeys::updaterCheckInterval);
    if (!defaults.boolForKey(DefaultsKeys::SUCheckAtStartup)) {
        if (stored.isValid()) {
            defaults.removeObjectForKey(DefaultsKeys::SUScheduledCheckInterval);
            qCDebug(defaultsLog) << "the update check is off: its interval" << stored.toString()
                                 << "was removed";
        }
    } else if (stored.toString() != interval) {
        defaults.setInteger(DefaultsKeys::updaterCheckInterval,
                            DefaultsKeys::SUScheduledCheckInterval);
        qCDebug(defaultsLog) << "the update check's interval" << stored.toString()
                             << "was corrected to" << interval;
    }
}

UserDefaults* _initializeUserDefaults()
{
    UserDefaults* defaults = UserDefaults::standardUserDefaults();
    if (!defaults) {
        return nullptr;
    }
    defaults->registerDefaults(DefaultsKeys::registeredFallbacks());
    migrateLegacyUnit(*defaults);
    applyUpdateCheckInterval(*defaults);
    correctInterval(*defaults);
    correctGauges(*defaults);
    return defaults;
}

} // namespace calidra
