// SPDX-License-Identifier: GPL-3.0-or-later
#include "TemperatureValueTransformer.h"

#include "CFormat.h"
#include "defaults/Settings.h"
#include "defaults/UserDefaults.h"

#include <QLocale>

#include <algorithm>

namespace calidra {
namespace {

constexpr char16_t degreeCelsius = u'\u2103';
constexpr char16_t degreeFahrenheit = u'\u2109';

double inUnit(double celsius, bool fahrenheit)
{
    return fahrenheit ? celsius * 9.0 / 5.0 + 32.0 : celsius;
}

QChar signOf(bool fahrenheit)
{
    return fahrenheit ? degreeFahrenheit : degreeCelsius;
}

} // namespace

// From the user's choice at this moment; without a defaults store the choice
// is automatic.
bool TemperatureValueTransformer::showsFahrenheit()
{
    const UserDefaults* defaults = UserDefaults::standardUserDefaults();
    using Settings::DisplayUnit;
    const qint64 unit = defaults ? defaults->value<DisplayUnit>() : DisplayUnit::byLocale;
    // The locale is asked only when the choice is automatic.
    return unit != DisplayUnit::byLocale ? showsFahrenheit(unit, QLocale::MetricSystem)
                                         : showsFahrenheit(unit, QLocale().measurementSystem());
}

bool TemperatureValueTransformer::showsFahrenheit(qint64 displayUnit,
                                                  QLocale::MeasurementSystem system)
{
    using Settings::DisplayUnit;
    if (displayUnit != DisplayUnit::byLocale) {
        return displayUnit == DisplayUnit::fahrenheit;
    }
    // Only the US system means Fahrenheit: the UK reports ImperialUKSystem yet
    // shows temperatures in Celsius.
    return system == QLocale::ImperialUSSystem;
}

double TemperatureValueTransformer::toShownUnit(double celsius)
{
    return inUnit(celsius, showsFahrenheit());
}

double TemperatureValueTransformer::fromShownUnit(double shown)
{
    return showsFahrenheit() ? (shown - 32.0) * 5.0 / 9.0 : shown;
}

QString TemperatureValueTransformer::unitSign()
{
    return signOf(showsFahrenheit());
}

// The precision is clamped to 0 to 9: a negative one would make no valid
// conversion, and a float holds no more than nine significant digits, so more
// decimals would show nothing of the value.
TemperatureValueTransformer::TemperatureValueTransformer(int precision)
    : format(cFormat("%%1.%if", std::clamp(precision, 0, 9)).toUtf8())
{}

QString TemperatureValueTransformer::transformedValue(const QVariant& value) const
{
    if (!value.isValid()) {
        return {};
    }
    // The unit is read once, so that the number and its sign always agree.
    return transformedValue(value.toFloat(), showsFahrenheit());
}

QString TemperatureValueTransformer::transformedValue(float celsius, bool fahrenheit) const
{
    return cFormatRuntime(format.constData(), inUnit(celsius, fahrenheit)) + signOf(fahrenheit);
}

} // namespace calidra
