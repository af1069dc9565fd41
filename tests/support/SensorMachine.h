// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FixtureTree.h"

#include <QString>

namespace calidra {

/// A desktop to choose a temperature sensor on, laid out in a FixtureTree as
/// the kernel lays it out: the processor's coretemp (platform/coretemp.0,
/// "Package id 0" 55 ℃, "Core 0" 53 ℃, "Core 1" 54 ℃) beside an amdgpu
/// graphics card on PCI ("edge" 48 ℃, "junction" 51 ℃, "mem" 50 ℃), an NVMe
/// drive whose hwmon node belongs to its controller, a class device on a PCI
/// device ("Composite" 39.85 ℃, "Sensor 1" 39.85 ℃, "Sensor 2" 45.85 ℃), a
/// board chip (nct6798 at platform/nct6775.656: "SYSTIN" 35 ℃, "CPUTIN"
/// 41.5 ℃, "AUXTIN0" a broken -62 ℃), an unlabelled acpitz channel without a
/// device (27.8 ℃), and two thermal zones: acpitz with its ACPI device
/// (27.8 ℃) and x86_pkg_temp without one (55 ℃). A boot numbers the hwmon
/// nodes and the NVMe controller, so those numbers are given.
struct SensorMachine
{
    struct Numbers
    {
        int coretemp = 0;
        int amdgpu = 1;
        int nvme = 2;
        int board = 3;
        int acpitz = 4;
        int controller = 0; // nvme<controller>
    };

    static inline const QString GpuDevice = u"pci0000:00/0000:00:01.1/0000:01:00.0"_qs;
    static inline const QString DriveDevice = u"pci0000:00/0000:00:1d.0/0000:3d:00.0"_qs;
    static inline const QString ZoneDevice = u"LNXSYSTM:00/LNXSYBUS:01/LNXTHERM:00"_qs;

    static void add(FixtureTree& tree, const Numbers& numbers);
    /// The same, numbered as in Numbers' own values.
    static void add(FixtureTree& tree);

    /// The text of the identity of the graphics card's "edge" channel.
    static QString gpuEdge();
};

} // namespace calidra
