// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "Gauge" is one measurement source, asked at each sample; see docs/GLOSSARY.md.

#include <QString>

#include <memory>
#include <optional>

namespace calidra {

/// A source of one measurement, asked afresh at every call: temperatures in
/// degrees Celsius, frequencies in megahertz. The base gauge measures nothing
/// and gives a quiet NaN; the concrete gauges replace it.
class Gauge
{
public:
    virtual ~Gauge();

    /// A new temperature gauge for this machine: the kernel-value gauge on
    /// models of the Intel model list, else the sensor-table gauge, else the
    /// processor's thermal zone. Null when none of the last two can be made
    /// (no table row or no sensor found, and no processor thermal zone).
    static std::shared_ptr<Gauge> CPUTemperatureGauge();

    /// A new temperature gauge for the sensor choice `sensorChoice` (the text of
    /// a TemperatureInputIdentity, as `temperatureSensor` keeps it): a gauge of
    /// that input (ChosenSensorGauge), below the system root of the current
    /// KernelValues, whether the input is there now or not. Automatic, that
    /// is CPUTemperatureGauge(), for an empty or unreadable choice, for one
    /// that several inputs match now, and without a current KernelValues.
    static std::shared_ptr<Gauge> temperatureGauge(const QString& sensorChoice);

    /// A new clock-frequency gauge on models of the Intel model list; null on
    /// every other machine, which has no frequency to report.
    static std::shared_ptr<Gauge> CPUFrequencyGauge();

    /// The current measurement.
    virtual float gauge();

    /// Whether the last measurement found something to read; a gauge that
    /// cannot tell says true.
    virtual bool hasSource() const;

    /// What the last measurement read ("coretemp, Package id 0"); absent when
    /// it read nothing or the gauge cannot tell.
    virtual std::optional<QString> sensorInUse() const;

    /// Why the measurement gives no reading, as the user is told it.
    virtual QString noReadingReason() const;

    /// The sensor the user chose in place of the processor's, by name; absent
    /// for every gauge of the processor.
    virtual std::optional<QString> chosenSensor() const;

protected:
    /// The reason given when a sensor that was found gives no reading: it
    /// names `sensor`.
    static QString silentSensorReason(const QString& sensor);
};

} // namespace calidra
