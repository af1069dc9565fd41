#include "defaults/UserDefaultsSetup.h"

#include "defaults/DefaultsKeys.h"
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
}

/// Done at every start, so an interval stored by anyone else is replaced.
void applyUpdaterInterval(UserDefaults& defaults)
{
    if (defaults.boolForKey(DefaultsKeys::SUCheckAtStartup)) {
        defaults.setInteger(DefaultsKeys::updaterCheckInterval,
                            DefaultsKeys::SUScheduledCheckInterval);
    } else {
        defaults.removeObjectForKey(DefaultsKeys::SUScheduledCheckInterval);
    }
}

} // namespace

UserDefaults* _initializeUserDefaults()
{
    UserDefaults* defaults = UserDefaults::standardUserDefaults();
    if (!defaults) {
        return nullptr;
    }
    defaults->registerDefaults(DefaultsKeys::registeredFallbacks());
    migrateLegacyUnit(*defaults);
    applyUpdaterInterval(*defaults);
    return defaults;
}

} // namespace calidra
