// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ProcessWide.h"

namespace calidra {

/// The record of a request to end the program, which may come before the
/// event loop runs (a refusal at start-up) or while it runs (a menu command).
/// `main` creates one before start-up and, once start-up is done, returns
/// instead of entering the event loop when a request was made; a test creates
/// its own and checks it.
///
/// Used on the main thread only.
class ApplicationTermination : public ProcessWide<ApplicationTermination>
{
public:
    /// Asks the program to end: the current record, if any, notes the request,
    /// and the running event loops, if any, are left. Without a record, a request made before the
    /// event loop runs is lost.
    static void requestTermination();

    /// Whether a request was made while this record was current.
    bool isTerminationRequested() const { return m_requested; }

private:
    bool m_requested = false;
};

} // namespace calidra
