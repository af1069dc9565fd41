// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace calidra {

/// The kernel value `name` ("kern.cpu_temp", "hw.ncpu", "kernel.pid_max") as a
/// 32-bit signed integer, from the current KernelValues. 0 when the query fails
/// (unknown or malformed name, unreadable value, a value that is no integer or
/// wider than 32 bits) or when there is no current KernelValues, so a failure
/// cannot be told from a value of 0. Main thread only.
qint32 querySysctlValueAsInt(const char* name);

/// The kernel value `name` as text, from the current KernelValues: its bytes
/// decoded with decodeKernelText, not trimmed, so text ends with U+0000. Absent
/// when the query fails or there is no current KernelValues. Main thread only.
std::optional<QString> querySysctlValueAsString(const char* name);

} // namespace calidra
