// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TemperatureInputIdentity.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace calidra {

/// One temperature input of the kernel: a hwmon channel or a thermal zone.
struct TemperatureInput
{
    TemperatureInputIdentity identity;
    /// What the user reads: "amdgpu, edge", "acpitz, temp1" for an unlabelled
    /// channel, "acpitz (zone 0)" for a zone. Channels that would share a
    /// name add their device's last part: "nvme, Composite (0000:02:00.0)".
    QString name;
    /// The file that gives its value in millidegrees Celsius.
    QByteArray path;
    /// Whether no other input has the same identity; one that shares it
    /// cannot be told from the other after a restart.
    bool unique = true;

    /// The input's temperature now, in degrees Celsius to the thousandth;
    /// absent when its file cannot be read, holds no integer, or gives no
    /// plausible temperature (PlausibleTemperature).
    std::optional<float> readCelsius() const;
};

/// Every temperature input below `<systemRoot>/sys/class`: each `tempN_input`
/// of each hwmon device that has a readable `name`, ordered by driver name,
/// device and channel number, then each `thermal_zoneN` that has a readable
/// `type`, ordered by type and zone number. Only what names an input is read
/// (names, labels, links), never its value; an entry that cannot be read is
/// passed over. Numbers of hwmon devices and zones decide nothing but the
/// order among zones of one type.
std::vector<TemperatureInput> listTemperatureInputs(const QByteArray& systemRoot);

/// The inputs of `inputs` that `identity` names.
std::vector<const TemperatureInput*> matchingInputs(const std::vector<TemperatureInput>& inputs,
                                                    const TemperatureInputIdentity& identity);

} // namespace calidra
