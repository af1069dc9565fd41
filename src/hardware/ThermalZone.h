// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <string_view>

namespace calidra {

class KeptReading;

/// The kernel thermal zone that measures the processor, below
/// `<systemRoot>/sys/class/thermal`: a `thermal_zoneN` whose `type` names the
/// processor, compared without regard to case. "x86_pkg_temp" comes first,
/// then a type starting with "cpu" ("cpu-thermal", "cpu0-thermal"), then one
/// starting with "soc" ("soc_thermal"), and "acpitz" only when none of those
/// reads; among equals the lowest zone number. Its `temp` file (millidegrees
/// Celsius) stays open, so that a reading is one pread.
///
/// Everything read is bounded: at most MaximumEntries names of the folder and
/// MaximumZones zones are looked at, only regular files of at most 64 KiB are
/// read and none blocks; a link loop or a vanished zone is a zone that cannot
/// be read. Main thread only.
class ThermalZone
{
public:
    static constexpr int MaximumEntries = 4096;
    static constexpr int MaximumZones = 256;
    /// Readings above this many millidegrees are no temperature a processor
    /// runs at: a sensor fault.
    static constexpr qint32 HottestPlausible = 200000;

    /// The processor's zone whose `temp` reads a plausible temperature now;
    /// null when there is none.
    static std::unique_ptr<ThermalZone> find(const QByteArray& systemRoot);

    /// How well a zone type names the processor: 0 is best; absent for a
    /// type that does not name it.
    static std::optional<int> rank(std::string_view type);

    ~ThermalZone();
    ThermalZone(const ThermalZone&) = delete;
    ThermalZone& operator=(const ThermalZone&) = delete;

    /// The temperature in degrees Celsius. Absent when the file cannot be
    /// read, holds no integer, or the value is not above 0 or is above
    /// HottestPlausible.
    std::optional<float> degrees() const;

    /// "x86_pkg_temp (thermal_zone2)".
    QString description() const;

private:
    ThermalZone(std::unique_ptr<KeptReading> temp, QString type, QString folder);

    std::unique_ptr<KeptReading> m_temp;
    QString m_type;
    QString m_folder;
};

} // namespace calidra
