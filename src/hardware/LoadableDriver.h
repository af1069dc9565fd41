// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace calidra {

/// Whether loading the processor temperature driver (modprobe) can give this
/// machine a reading, judged from the system below a root ("/" in the
/// program): only then is an administrator's password worth asking for.
class LoadableDriver
{
public:
    enum class Verdict {
        Loadable,             // the module is there and drives this processor
        NoDriverForVendor,    // neither an Intel, AMD nor Hygon processor
        Hypervisor,           // a virtual machine, whose host hides the sensors
        UnsupportedProcessor, // a processor the driver does not drive
        NoModule,             // the running kernel has no such module
    };

    struct Finding
    {
        Verdict verdict;
        /// "coretemp" or "k10temp"; empty without a driver for the vendor.
        QByteArray driver;
        /// Why, in a few words, for the log ("family 0fh, which k10temp
        /// does not drive").
        QString explanation;
    };

    /// Examines `<systemRoot>/proc/cpuinfo` (its first processor's vendor,
    /// "cpu family" and "flags"), the running kernel's release in
    /// `<systemRoot>/proc/sys/kernel/osrelease` and its modules below
    /// `<systemRoot>/lib/modules/<release>`. The verdicts are tried in the
    /// order of the enumeration and the first that holds is given:
    /// - the vendor picks the driver: "GenuineIntel" coretemp, "AuthenticAMD"
    ///   and "HygonGenuine" k10temp;
    /// - the flag "hypervisor" marks a virtual machine;
    /// - coretemp needs the flag "dtherm" (the digital thermal sensor, which
    ///   the driver checks before it loads); k10temp drives the families 10h,
    ///   11h, 12h, 14h, 15h, 16h, 17h, 18h (Hygon), 19h and 1Ah;
    /// - the module is a file `kernel/drivers/hwmon/<driver>.ko` (possibly
    ///   compressed: `.xz`, `.zst`, `.gz`) or a module that `modules.dep`
    ///   names (only its first 4 MiB are read).
    /// Anything that cannot be read (no cpuinfo, no release, a release that is
    /// no plain folder name) counts against loading: the offer is made only
    /// where it can succeed.
    static Finding examine(const QByteArray& systemRoot);

    /// How many bytes of modules.dep are read at most (a distribution
    /// kernel's is well under 1 MiB).
    static constexpr qsizetype MaximumModuleListSize = 4 * 1024 * 1024;
};

} // namespace calidra
