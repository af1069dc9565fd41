// SPDX-License-Identifier: GPL-3.0-or-later
#include "Alerts.h"

namespace calidra {

Alerts::~Alerts() = default;

int Alerts::run(const Request& request)
{
    Alerts* alerts = current();
    return alerts ? alerts->runAlert(request) : -1;
}

} // namespace calidra
