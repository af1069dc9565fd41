// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ValueTransformer.h"

#include <QByteArray>
#include <QLocale>

namespace calidra {

/// Formats a temperature in degrees Celsius with a fixed number of decimals
/// and the unit sign, "52℃" or "126.14℉", in the unit the user chose under
/// "displayUnit" (read at every call) or, when the choice is automatic, the
/// one the current locale uses.
class TemperatureValueTransformer : public ValueTransformer
{
public:
    /// A transformer that shows no decimals.
    TemperatureValueTransformer() : TemperatureValueTransformer(0) {}

    /// A transformer that shows precision decimals, clamped to 0 to 9.
    explicit TemperatureValueTransformer(int precision);

    /// The text for a temperature in degrees Celsius; "" without input.
    QString transformedValue(const QVariant& value) const override;

    /// The text for a temperature in degrees Celsius shown in Fahrenheit or
    /// not, whatever the settings say: for callers that keep the unit.
    QString transformedValue(float celsius, bool fahrenheit) const;

    /// Whether temperatures show in Fahrenheit now.
    static bool showsFahrenheit();
    /// The rule behind it: the stored `displayUnit`, and in its automatic
    /// case the locale's measurement system (only the US one is Fahrenheit).
    static bool showsFahrenheit(qint64 displayUnit, QLocale::MeasurementSystem system);
    /// A temperature in degrees Celsius in the unit shown now, and back.
    static double toShownUnit(double celsius);
    static double fromShownUnit(double shown);
    /// The sign of the unit shown now, "℃" or "℉".
    static QString unitSign();

private:
    const QByteArray format;
};

} // namespace calidra
