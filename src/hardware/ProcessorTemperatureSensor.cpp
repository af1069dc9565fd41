// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessorTemperatureSensor.h"

#include "KeptReading.h"
#include "PlausibleTemperature.h"
#include "ProcessorTemperatureInputs.h"
#include "TemperatureInputs.h"
#include "ThermalZone.h"

#include <QStringList>

namespace calidra {

ProcessorTemperatureSensor::ProcessorTemperatureSensor(Input input, QByteArray systemRoot)
    : m_input(input), m_root(std::move(systemRoot))
{}

ProcessorTemperatureSensor::ProcessorTemperatureSensor(TemperatureInputIdentity chosen,
                                                       QByteArray systemRoot)
    : m_input(Input::Chosen), m_chosen(std::move(chosen)), m_root(std::move(systemRoot))
{}

ProcessorTemperatureSensor::~ProcessorTemperatureSensor() = default;

ProcessorTemperatureSensor::Reading ProcessorTemperatureSensor::read()
{
    if (!m_kept) {
        if (const std::optional<Outcome> missing = find()) {
            return {*missing, 0.0F, std::nullopt, m_name};
        }
    }
    const std::optional<qint32> value = m_kept->read();
    if (!value) {
        m_kept.reset();
        return {silentOutcome(), 0.0F, std::nullopt, m_name};
    }
    const float celsius = degrees(*value);
    if (!PlausibleTemperature::contains(double(celsius))) {
        // Let go as after a failed read: the next search may find a zone
        // that reads, where the driver's channels are found again as they are.
        m_kept.reset();
        return {Outcome::Implausible, 0.0F, value, m_name};
    }
    return {Outcome::Temperature, celsius, value, m_name};
}

// Why nothing could be kept; absent when an input is kept now.
std::optional<ProcessorTemperatureSensor::Outcome> ProcessorTemperatureSensor::find()
{
    switch (m_input) {
    case Input::DriverChannels:
        return findChannels();
    case Input::ThermalZone:
        return findZone();
    case Input::Chosen:
        break;
    }
    return findChosen();
}

std::optional<ProcessorTemperatureSensor::Outcome> ProcessorTemperatureSensor::findChannels()
{
    const bool reported = SearchReport::isWanted();
    QStringList seen;
    const ProcessorTemperatureChannels channels =
        findProcessorTemperatureInputs(m_root, reported ? &seen : nullptr);
    if (reported) {
        const QString devices = seen.isEmpty() ? u"no hwmon device"_qs : seen.join(u"; "_qs);
        const QString choice = channels.rule ? channels.description() + u" ("_qs +
                                                   QString::fromLatin1(channels.rule) + u')'
                                             : u"no channel of coretemp, k10temp or zenpower"_qs;
        m_report.tell("driver channels", devices + u" -> "_qs + choice);
    }
    if (!channels.rule) {
        return channels.driverLoaded ? Outcome::NoReading : Outcome::NoSensor;
    }
    m_name = channels.description();
    m_kept = KeptReading::open(channels.inputs, KeptReading::Form::Thousandths);
    return m_kept ? std::nullopt : std::optional(Outcome::NoReading);
}

std::optional<ProcessorTemperatureSensor::Outcome> ProcessorTemperatureSensor::findZone()
{
    const bool reported = SearchReport::isWanted();
    QStringList seen;
    std::optional<ThermalZone> zone = ThermalZone::find(m_root, reported ? &seen : nullptr);
    if (reported) {
        m_report.tell("thermal zones",
                      (seen.isEmpty() ? u"no thermal zone"_qs : seen.join(u"; "_qs)) + u" -> "_qs +
                          (zone ? zone->description : u"none"_qs));
    }
    if (!zone) {
        return Outcome::NoSensor;
    }
    m_name = zone->description;
    m_kept = std::move(zone->temp);
    return std::nullopt;
}

std::optional<ProcessorTemperatureSensor::Outcome> ProcessorTemperatureSensor::findChosen()
{
    const std::vector<TemperatureInput> inputs = listTemperatureInputs(m_root);
    const std::vector<const TemperatureInput*> matching = matchingInputs(inputs, m_chosen);
    if (SearchReport::isWanted()) {
        const QString found = matching.empty() ? u"none"_qs : matching.front()->name;
        m_report.tell("chosen sensor", u"%1 among %2 inputs: %3 matching, %4"_qs.arg(
                                           m_chosen.text(), QString::number(inputs.size()),
                                           QString::number(matching.size()), found));
    }
    if (matching.size() != 1) {
        return Outcome::NoSensor;
    }
    m_name = matching.front()->name;
    m_kept = KeptReading::open({matching.front()->path}, KeptReading::Form::Whole);
    return m_kept ? std::nullopt : std::optional(Outcome::NoReading);
}

// A kept input that fails to read: a driver's channels whose device has gone
// with its driver are no sensor at all.
ProcessorTemperatureSensor::Outcome ProcessorTemperatureSensor::silentOutcome() const
{
    if (m_input == Input::DriverChannels && !isProcessorTemperatureDriverLoaded(m_root)) {
        return Outcome::NoSensor;
    }
    return Outcome::NoReading;
}

// The one place where an input's integer becomes degrees. hwmon and the
// thermal zones both count millidegrees
// (https://www.kernel.org/doc/html/latest/hwmon/sysfs-interface.html); the
// driver's channels are kept rounded to whole degrees (KeptReading's
// Thousandths), a zone's `temp` and a chosen input exact.
float ProcessorTemperatureSensor::degrees(qint32 value) const
{
    return m_input == Input::DriverChannels ? float(value) : ThermalZone::celsius(value);
}

} // namespace calidra
