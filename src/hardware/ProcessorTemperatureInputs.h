// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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
    /// Which rule chose them ("the package channels"); null when none did.
    const char* rule = nullptr;
    /// Whether a hwmon device of a processor temperature driver was there,
    /// channels or not.
    bool driverLoaded = false;

    /// "coretemp, Package id 0"; several channels by their labels, each once
    /// ("coretemp, Package id 0, Package id 1"), more than three as the first
    /// and the last ("coretemp, Core 0, …, Core 7").
    QString description() const;
};

/// Finds the hwmon input files that carry the processor temperature below
/// `<systemRoot>/sys/class/hwmon`. Devices are recognised by the driver name in
/// their `name` file, never by their number, and channels by their labels,
/// across all devices of the driver; the hottest of the chosen channels is the
/// temperature. With "coretemp": every channel labelled "Package id N" (or, on
/// older kernels, "Physical id N"), else every "Core N". With "k10temp" or
/// "zenpower": every channel labelled "Tdie", else every "Tctl", where the
/// unlabelled temp1 of a k10temp device (processors before family 17h) counts
/// as "Tctl" and is named "temp1". No inputs when no such driver or channel is
/// there; unreadable entries are passed over. With `seen`, each hwmon entry
/// is added to it for the log: "hwmon2 coretemp: Package id 0, Core 0",
/// "hwmon0 it8728".
ProcessorTemperatureChannels findProcessorTemperatureInputs(const QByteArray& systemRoot,
                                                            QStringList* seen = nullptr);

/// Whether a hwmon device of a processor temperature driver (coretemp, k10temp,
/// zenpower) is there below `<systemRoot>/sys/class/hwmon`, channels or not.
bool isProcessorTemperatureDriverLoaded(const QByteArray& systemRoot);

/// The processor temperature driver for a /proc/cpuinfo vendor: "coretemp"
/// for GenuineIntel, "k10temp" for AuthenticAMD and HygonGenuine; absent for
/// any other.
std::optional<QByteArray> processorTemperatureDriver(std::string_view vendor);

} // namespace calidra
