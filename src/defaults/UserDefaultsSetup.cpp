// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaultsSetup.h"

#include "defaults/DefaultsKeys.h"
#include "defaults/DefaultsLog.h"
#include "defaults/UserDefaults.h"

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
    return defaults;
}

} // namespace calidra
