#pragma once

#include <QByteArray>

#include <vector>

namespace calidra {

/// Finds the hwmon input files that carry the processor temperature below
/// `<systemRoot>/sys/class/hwmon`. Devices are recognised by the driver name in
/// their `name` file, never by their number. With "coretemp": the channel
/// labelled "Package id 0", else every channel labelled "Core N" across the
/// coretemp devices (the hottest of them is the temperature). With "k10temp" or
/// "zenpower": the channel labelled "Tdie", else the one labelled "Tctl".
/// Empty when no such driver or channel is there; unreadable entries are passed
/// over.
std::vector<QByteArray> findProcessorTemperatureInputs(const QByteArray& systemRoot);

} // namespace calidra
