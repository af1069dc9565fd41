// SPDX-License-Identifier: GPL-3.0-or-later
#include "Alerts.h"

#include <QScopedValueRollback>

namespace calidra {

Alerts::~Alerts() = default;

int Alerts::run(const Request& request)
{
    Alerts* alerts = current();
    if (!alerts || alerts->m_alertShown) {
        return -1;
    }
    const QScopedValueRollback shown(alerts->m_alertShown, true);
    return alerts->runAlert(request);
}

} // namespace calidra
