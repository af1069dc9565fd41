// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeptReading.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>
#include <string_view>

namespace calidra {

/// The kernel thermal zone that measures the processor, below
/// `<systemRoot>/sys/class/thermal`: a `thermal_zoneN` whose `type` says that it
/// measures the processor (see rank()); the best rank whose `temp`
/// (millidegrees Celsius) reads a plausible temperature now, and among equals
/// the lowest zone number. Found with its `temp` open, for a reader that keeps
/// it (ProcessorTemperatureSensor), so that a reading is one pread.
///
/// A search is bounded by time, not by a count of zones: every zone of the
/// folder is ranked, whatever its number or place in the folder, until
/// ScanTime has passed; only regular files of at most 64 KiB are read and none
/// blocks; a link loop or a vanished zone is a zone that cannot be read. Main
/// thread only.
struct ThermalZone
{
    /// How long one search may take at most (a machine has a few dozen zones,
    /// ranked in well under a millisecond).
    static constexpr std::chrono::milliseconds ScanTime{500};

    /// The zone's `temp`, open: millidegrees Celsius, kept exact.
    std::unique_ptr<KeptReading> temp;
    /// "x86_pkg_temp (thermal_zone2)".
    QString description;

    /// The processor's zone whose `temp` reads a plausible temperature now;
    /// absent when there is none. With `seen`, every zone looked at is added
    /// to it for the log ("thermal_zone5 x86_pkg_temp (rank 0)",
    /// "thermal_zone3 pch_skylake (not the processor)"), and so is each
    /// ranked zone tried in vain ("thermal_zone1 gives no plausible reading").
    static std::optional<ThermalZone> find(const QByteArray& systemRoot,
                                           QStringList* seen = nullptr);

    /// The same search, giving up at `deadline`: the best zone ranked by then,
    /// or absent.
    static std::optional<ThermalZone> find(const QByteArray& systemRoot,
                                           std::chrono::steady_clock::time_point deadline,
                                           QStringList* seen = nullptr);

    /// How well a zone type names what measures the processor, compared
    /// without regard to case: 0, the package ("x86_pkg_temp", older kernels'
    /// "pkg-temp-0"); 1, the processor as the firmware names it ("TCPU",
    /// "B0D4"); 2, its cores or clusters ("cpu-thermal", "cpu0_thermal",
    /// "CPU-therm"); 3, the die of a system on a chip ("soc_thermal",
    /// "soc_dts0", the Raspberry Pi's "bcm2835_thermal"); 4, the board's
    /// "acpitz". Absent for a type that measures something else.
    static std::optional<int> rank(std::string_view type);

    /// A value of a zone's `temp` in degrees Celsius.
    static float celsius(qint32 millidegrees);
};

} // namespace calidra
