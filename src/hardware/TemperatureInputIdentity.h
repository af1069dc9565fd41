// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace calidra {

/// What tells one temperature input of the kernel from every other across
/// boots, when hwmon and thermal zone numbers are handed out anew: never the
/// `hwmonN` or `thermal_zoneN` number.
///
/// - A hwmon channel: its device's driver `name`, the channel's label (its
///   `tempN_label`) or, without one, its channel number N, and the device the
///   hwmon node belongs to (see `device`).
/// - A thermal zone: its `type`, and the device its `device` link leads to
///   where it has one, else its place among the zones of that type without
///   one, in zone number order.
///
/// Its text, what the settings keep, is a JSON object of one line with sorted
/// keys and no other keys: {"device":"pci0000:00/0000:00:03.1/0000:0b:00.0",
/// "driver":"amdgpu","label":"edge"}, {"channel":1,"driver":"acpitz"},
/// {"device":"LNXSYSTM:00/LNXSYBUS:01/LNXTHERM:00","zone":"acpitz"},
/// {"index":0,"zone":"x86_pkg_temp"}. "driver" and "zone" are the two kinds:
/// one of them, not empty. A hwmon channel has a label (not empty) or a
/// channel (1 and up), and may have a device; a zone has a device or an index
/// (0 and up). JSON escapes every character a kernel name can hold, so the
/// text survives any label.
struct TemperatureInputIdentity
{
    enum class Kind { Hwmon, ThermalZone };

    Kind kind = Kind::Hwmon;
    /// The hwmon device's driver `name`, or the zone's `type`.
    QString name;
    /// The channel's label; empty for an unlabelled channel and for a zone.
    QString label;
    /// The channel number N of an unlabelled `tempN_input`; 0 otherwise.
    int channel = 0;
    /// The device the input belongs to, as a path below sys/devices: the
    /// nearest device on a bus (one whose `subsystem` is in sys/bus) at or
    /// above the target of the hwmon node's or zone's `device` link, so that a
    /// class device numbered at each boot (`nvme0`) counts by the PCI device
    /// it sits on; the link's own target where no bus device is above it.
    /// Empty without a `device` link.
    QString device;
    /// A zone without a device: its place among the zones of its type without
    /// a device, 0 for the lowest-numbered. -1 otherwise.
    int index = -1;

    /// The identity a text of the form above gives; absent for any other text
    /// (not JSON, another shape, a key too many or missing, a wrong type, a
    /// number out of range or not whole).
    static std::optional<TemperatureInputIdentity> fromText(const QString& text);

    /// The one text of this identity, the form fromText reads.
    QString text() const;

    /// How the user knows the input, without its device: "amdgpu, edge",
    /// "acpitz, temp1" for an unlabelled channel, "acpitz" for a zone.
    QString displayName() const;

    bool operator==(const TemperatureInputIdentity& other) const = default;
};

} // namespace calidra
