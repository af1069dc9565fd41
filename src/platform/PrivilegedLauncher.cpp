// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivilegedLauncher.h"

namespace calidra {

PrivilegedLauncher::~PrivilegedLauncher() = default;

} // namespace calidra
