// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaultsSetup.h"

#include "defaults/DefaultsLog.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"

namespace calidra {
namespace {

/// A stored old key counts whatever it says: even a useFahrenheit reading
/// false is an explicit choice of Celsius.
template <typename Old>
void migrate(UserDefaults& defaults)
{
    if (!defaults.objectForKey(Old::name).isValid()) {
        return;
    }
    using Successor = typename Old::Successor;
    defaults.setValue<Successor>(Old::successorValue(defaults.value<Old>()));
    defaults.removeObjectForKey(Old::name);
    qCDebug(defaultsLog).noquote() << "an earlier release's" << Old::name << "became"
                                   << Successor::name << defaults.value<Successor>();
}

/// Frequency's rule, applied where the interval is kept, so that the file says
/// what the program uses: no interval at all (zero, less or a number too small
/// for a float) is removed, so that the fallback shows, and one outside the
/// offered range is stored at its nearer end.
void correctInterval(UserDefaults& defaults)
{
    using Settings::Frequency;
    const double interval = defaults.floatForKey(Frequency::name);
    if (!(interval > 0)) {
        defaults.removeObjectForKey(Frequency::name);
        qCDebug(defaultsLog) << "the sampling interval" << interval
                             << "was removed: the fallback stands in";
    } else if (const double bounded = Frequency::bounded(interval); bounded != interval) {
        defaults.setValue<Frequency>(float(bounded));
        qCDebug(defaultsLog) << "the sampling interval" << interval << "was corrected to"
                             << bounded;
    }
}

/// Neither reader would run, and the program would report a sensor missing
/// that works; the preferences window never stores this pair.
void correctGauges(UserDefaults& defaults)
{
    if (!defaults.value<Settings::GaugeTemperature>() &&
        !defaults.value<Settings::GaugeFrequency>()) {
        defaults.setValue<Settings::GaugeTemperature>(true);
        qCDebug(defaultsLog) << "neither gauge was on: the temperature is on again";
    }
}

} // namespace

void applyUpdateCheckInterval(UserDefaults& defaults)
{
    using Settings::SUScheduledCheckInterval;
    const QVariant stored = defaults.objectForKey(SUScheduledCheckInterval::name);
    const QString interval = QString::number(SUScheduledCheckInterval::whileChecking);
    if (!defaults.value<Settings::SUCheckAtStartup>()) {
        if (stored.isValid()) {
            defaults.removeObjectForKey(SUScheduledCheckInterval::name);
            qCDebug(defaultsLog) << "the update check is off: its interval" << stored.toString()
                                 << "was removed";
        }
    } else if (stored.toString() != interval) {
        defaults.setValue<SUScheduledCheckInterval>(SUScheduledCheckInterval::whileChecking);
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
    defaults->registerDefaults(Settings::registeredFallbacks());
    std::apply([defaults](auto... old) { (migrate<decltype(old)>(*defaults), ...); },
               Settings::Deprecated{});
    applyUpdateCheckInterval(*defaults);
    correctInterval(*defaults);
    correctGauges(*defaults);
    return defaults;
}

} // namespace calidra
