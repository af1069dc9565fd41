// SPDX-License-Identifier: GPL-3.0-or-later
#include "ApplicationTermination.h"

#include <QCoreApplication>
#include <QThread>

namespace calidra {

void ApplicationTermination::requestTermination()
{
    if (ApplicationTermination* termination = current()) {
        termination->m_requested = true;
    }
    // Leaving loops that do not run yet would make the first ones to start
    // return at once; before the loop the record alone carries the request.
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
    }
}

} // namespace calidra
