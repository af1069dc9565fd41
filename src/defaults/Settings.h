// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept names: "frequency" is the sampling interval, SU* the update check; see docs/GLOSSARY.md.

#include <QString>
#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace calidra {

/// The keys of the user defaults, one small type each: its stored name, the
/// type it is read as (bool, qint64, float or QString), its registered
/// fallback where it has one, and its rule, value(v), which takes any value of
/// that type to one the program can use. UserDefaults::value<Key>() reads a key through
/// its rule and UserDefaults::setValue<Key>() stores one through it, so no
/// caller checks a range. A stored value that breaks a rule stays in the file
/// as it is (only the sampling interval is corrected there, at start-up).
///
/// Every key the program reads is listed in All, from which its fallback is
/// registered; an old name is listed in Deprecated, with the key it became.
namespace Settings {

/// What every key has. Without a rule of its own, a key takes every value.
template <typename T>
struct Setting
{
    using Type = T;
    static T value(T stored) { return stored; }
};

/// Temperature unit, an integer: one of the values below.
struct DisplayUnit : Setting<qint64>
{
    static inline const QString name = u"displayUnit"_qs;
    /// Follow the locale's measurement system.
    static constexpr qint64 byLocale = 0;
    static constexpr qint64 celsius = 1;
    static constexpr qint64 fahrenheit = 2;
    static constexpr qint64 fallback = byLocale;
    /// Any other value (a damaged file, a unit of a later release) behaves
    /// like byLocale.
    static qint64 value(qint64 unit)
    {
        return unit == celsius || unit == fahrenheit ? unit : byLocale;
    }
};

/// Sampling interval of the gauge readers in seconds, a float.
struct Frequency : Setting<float>
{
    static inline const QString name = u"frequency"_qs;
    static constexpr float fallback = 2.0F;
    /// The shortest and the longest interval the preferences offer: a tiny
    /// one would sample without pause and a huge one never.
    static constexpr double shortest = 0.5;
    static constexpr double longest = 60.0;
    static double bounded(double seconds) { return std::clamp(seconds, shortest, longest); }
    /// No interval at all (0, less, not a number) would leave no reader.
    static float value(float seconds) { return seconds > 0 ? float(bounded(seconds)) : fallback; }
};

/// Point size of the status title, a float.
struct FontSize : Setting<float>
{
    static inline const QString name = u"fontSize"_qs;
    static constexpr float fallback = 13.0F;
    /// The tray cannot show a title of no size, nor one larger than a screen.
    static constexpr float smallest = 1.0F;
    static constexpr float largest = 72.0F;
    static float value(float size)
    {
        return std::isnan(size) ? fallback : std::clamp(size, smallest, largest);
    }
};

/// Whether the status item shows its icon beside the title.
struct ShowIcon : Setting<bool>
{
    static inline const QString name = u"showIcon"_qs;
    static constexpr bool fallback = false;
};

/// Whether a temperature reader runs.
struct GaugeTemperature : Setting<bool>
{
    static inline const QString name = u"gaugeTemperature"_qs;
    static constexpr bool fallback = true;
};

/// Whether a frequency reader runs.
struct GaugeFrequency : Setting<bool>
{
    static inline const QString name = u"gaugeFrequency"_qs;
    static constexpr bool fallback = false;
};

/// With both readers on, whether the two values stand on two lines.
struct ArrangeVertically : Setting<bool>
{
    static inline const QString name = u"arrangeVertically"_qs;
    static constexpr bool fallback = false;
};

/// Whether the updater checks on its own; no fallback (absent reads false).
struct SUCheckAtStartup : Setting<bool>
{
    static inline const QString name = u"SUCheckAtStartup"_qs;
};

/// The updater's check interval in seconds, derived from SUCheckAtStartup;
/// no fallback.
struct SUScheduledCheckInterval : Setting<qint64>
{
    static inline const QString name = u"SUScheduledCheckInterval"_qs;
    /// Stored while SUCheckAtStartup is on: three and a half days.
    static constexpr qint64 whileChecking = 302400;
};

/// Whether a desktop notification warns of a hot processor.
struct AlarmEnabled : Setting<bool>
{
    static inline const QString name = u"alarmEnabled"_qs;
    static constexpr bool fallback = false;
};

/// The temperature that warning starts at, a float in degrees Celsius
/// (whatever unit shows it).
struct AlarmTemperature : Setting<float>
{
    static inline const QString name = u"alarmTemperature"_qs;
    static constexpr float fallback = 90.0F;
    /// The thresholds the user can choose.
    static constexpr float lowest = 50.0F;
    static constexpr float highest = 110.0F;
    static float value(float celsius)
    {
        return std::isnan(celsius) ? fallback : std::clamp(celsius, lowest, highest);
    }
};

/// The temperature sensor the user chose in place of the processor's, as the
/// text of its TemperatureInputIdentity (hardware/TemperatureInputIdentity.h,
/// a line of JSON); empty for the automatic choice of the processor's sensor.
struct TemperatureSensor : Setting<QString>
{
    static inline const QString name = u"temperatureSensor"_qs;
    static inline const QString fallback = QString();
    /// The automatic choice.
    static inline const QString automatic = QString();
    /// Text that names no identity (hand-edited, damaged, of a later release)
    /// is the automatic choice; an identity is kept in its one text.
    static QString value(const QString& stored);
};

/// Every key the program reads today.
using All = std::tuple<DisplayUnit, Frequency, FontSize, ShowIcon, GaugeTemperature, GaugeFrequency,
                       ArrangeVertically, SUCheckAtStartup, SUScheduledCheckInterval, AlarmEnabled,
                       AlarmTemperature, TemperatureSensor>;

/// An earlier release's unit switch; no fallback, since only a stored one counts.
struct UseFahrenheit : Setting<bool>
{
    static inline const QString name = u"useFahrenheit"_qs;
    using Successor = DisplayUnit;
    static qint64 successorValue(bool fahrenheit)
    {
        return fahrenheit ? DisplayUnit::fahrenheit : DisplayUnit::celsius;
    }
};

/// The old names: keys of earlier releases, each with the key it became
/// (Successor) and how its value carries over (successorValue). The start-up
/// corrections turn a stored one into its successor and remove it.
using Deprecated = std::tuple<UseFahrenheit>;

/// The fallbacks to register at every start: those of All, as Type.
QVariantMap registeredFallbacks();

} // namespace Settings
} // namespace calidra
