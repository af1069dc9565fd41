// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace calidra {

/// The hwmon channels that carry the processor temperature, and what to call
/// them: the driver's name and the chosen channels' labels.
struct ProcessorTemperatureChannels
{
    QByteArray driver;
    std::vector<QByteArray> labels;
    std::vector<QByteArray> inputs;

    /// "coretemp, Package id 0"; several channels by their labels, each once,
    /// more than three as the first and the last ("coretemp, Core 0, …, Core 7").
    QString description() const;
};

/// Finds the hwmon input files that carry the processor temperature below
/// `<systemRoot>/sys/class/hwmon`. Devices are recognised by the driver name in
/// their `name` file, never by their number. With "coretemp": the channel
/// labelled "Package id 0", else every channel labelled "Core N" across the
/// coretemp devices (the hottest of them is the temperature). With "k10temp" or
/// "zenpower": the channel labelled "Tdie", else the one labelled "Tctl".
/// No inputs when no such driver or channel is there; unreadable entries are
/// passed over.
ProcessorTemperatureChannels findProcessorTemperatureInputs(const QByteArray& systemRoot);

/// Whether a hwmon device of a processor temperature driver (coretemp, k10temp,
/// zenpower) is there below `<systemRoot>/sys/class/hwmon`, channels or not.
bool isProcessorTemperatureDriverLoaded(const QByteArray& systemRoot);

/// The processor temperature driver for a /proc/cpuinfo vendor: "coretemp"
/// for GenuineIntel, "k10temp" for AuthenticAMD and HygonGenuine; absent for
/// any other.
std::optional<QByteArray> processorTemperatureDriver(std::string_view vendor);

} // namespace calidra
