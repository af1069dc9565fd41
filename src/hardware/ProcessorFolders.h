// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace calidra {

/// The processors' own folders (`cpu0`, `cpu1`, ...) below
/// /sys/devices/system/cpu, for kernels or containers that give no list of
/// online processors.
class ProcessorFolders
{
public:
    /// How many names of the folder are looked at: far more than the kernel's
    /// largest processor count, so that no processor is missed, and a bound
    /// on a folder that is not what it should be.
    static constexpr int MaximumEntries = 65536;

    /// The lowest-numbered `cpuN` below `folder` that is online: its `online`
    /// file says 1, or it has none (the kernel gives none to a processor that
    /// cannot be taken offline, cpu0 on most machines). Absent when there is
    /// no such folder or every one says it is offline.
    static std::optional<quint32> firstOnline(const QByteArray& folder);
};

} // namespace calidra
