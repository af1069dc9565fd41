// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchReport.h"

#include "HardwareLog.h"

namespace calidra {

bool SearchReport::isWanted()
{
    return hardwareLog().isDebugEnabled();
}

void SearchReport::tell(const char* subject, const QString& report)
{
    if (report == m_last) {
        return;
    }
    m_last = report;
    qCDebug(hardwareLog).nospace().noquote() << subject << ": " << report;
}

} // namespace calidra
