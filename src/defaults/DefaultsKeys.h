// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept names: "frequency" is the sampling interval, SU* the update check; see docs/GLOSSARY.md.

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace calidra {

/// The keys of the user defaults, their registered fallbacks and the values
/// the program itself writes under them.
namespace DefaultsKeys {

/// Temperature unit, an integer: see the unit values below.
inline const QString displayUnit = u"displayUnit"_qs;
/// Sampling interval of the gauge readers in seconds, a float.
inline const QString frequency = u"frequency"_qs;
/// Point size of the status title, a float.
inline const QString fontSize = u"fontSize"_qs;
/// Whether the status item shows its icon beside the title.
inline const QString showIcon = u"showIcon"_qs;
/// Whether a temperature reader runs.
inline const QString gaugeTemperature = u"gaugeTemperature"_qs;
/// Whether a frequency reader runs.
inline const QString gaugeFrequency = u"gaugeFrequency"_qs;
/// With both readers on, whether the two values stand on two lines.
inline const QString arrangeVertically = u"arrangeVertically"_qs;
/// Whether the updater checks on its own; no fallback (absent reads false).
inline const QString SUCheckAtStartup = u"SUCheckAtStartup"_qs;
/// The updater's check interval in seconds, derived from SUCheckAtStartup.
inline const QString SUScheduledCheckInterval = u"SUScheduledCheckInterval"_qs;
/// Whether a desktop notification warns of a hot processor.
inline const QString alarmEnabled = u"alarmEnabled"_qs;
/// The temperature that warning starts at, a float in degrees Celsius
/// (whatever unit shows it), held to 50 to 110.
inline const QString alarmTemperature = u"alarmTemperature"_qs;
/// Legacy bool of an earlier release, turned into displayUnit at start.
inline const QString useFahrenheit = u"useFahrenheit"_qs;

/// displayUnit: follow the locale's measurement system. Any value other than
/// the two below behaves like this one.
inline constexpr qint64 unitByLocale = 0;
/// displayUnit: degrees Celsius.
inline constexpr qint64 unitCelsius = 1;
/// displayUnit: degrees Fahrenheit.
inline constexpr qint64 unitFahrenheit = 2;

/// frequency: the shortest and the longest sampling interval the preferences
/// offer, in seconds. The start-up corrections and the readers hold the
/// interval to them.
inline constexpr double shortestInterval = 0.5;
inline constexpr double longestInterval = 60.0;

/// SUScheduledCheckInterval while SUCheckAtStartup is on: three and a half
/// days in seconds.
inline constexpr qint64 updaterCheckInterval = 302400;

/// The fallbacks registered at every start, with the types they are read as.
inline QVariantMap registeredFallbacks()
{
    // clang-format off
    return {
        {displayUnit,       QVariant::fromValue(unitByLocale)},
        {frequency,         QVariant::fromValue(2.0f)},
        {fontSize,          QVariant::fromValue(13.0f)},
        {showIcon,          false},
        {gaugeTemperature,  true},
        {gaugeFrequency,    false},
        {arrangeVertically, false},
        {alarmEnabled,      false},
        {alarmTemperature,  QVariant::fromValue(90.0f)},
    };
    // clang-format on
}

} // namespace DefaultsKeys
} // namespace calidra
