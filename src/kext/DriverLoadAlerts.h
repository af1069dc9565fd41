// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Alerts.h"
#include "platform/PrivilegedLauncher.h"

#include <QString>

#include <optional>

namespace calidra {

/// The terminal command that loads this machine's processor temperature
/// driver as an administrator: "sudo modprobe coretemp" on an Intel processor,
/// "sudo modprobe k10temp" on an AMD or Hygon one; on any other machine both,
/// each with the processors it is for.
QString driverLoadCommand();

/// The alert that tells why loading the driver failed and what the user can
/// do, with the load command; for a failed script, the last line that the
/// launch wrote on its standard error follows. Absent for a success.
std::optional<Alerts::Request> driverLoadFailureAlert(const PrivilegedLauncher::Outcome& outcome);

/// Shows driverLoadFailureAlert for `outcome`, in front of other windows;
/// nothing for a success.
void tellDriverLoadOutcome(const PrivilegedLauncher::Outcome& outcome);

} // namespace calidra
