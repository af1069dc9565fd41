// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace calidra {

/// Ends the program with status 0 on the signals that ask it to end (SIGTERM
/// from a session that logs out, SIGINT, SIGHUP), whenever they come.
///
/// install() sets the handlers up as early as main can call it, and they stay
/// until the process exits; a signal that the program was started ignoring
/// (SIGHUP under nohup) stays ignored. Until a TerminationSignals object
/// exists, a signal ends the process at once with _exit(0): start-up may be
/// waiting in a modal alert or in a system call, where no request would be
/// seen, and settings changes are written as they are made. While the object
/// lives, the handler only writes one byte to a pipe and the event loop turns
/// it into a termination request (ApplicationTermination), so the program
/// ends through its normal path. Once the object is destroyed the program is
/// ending already, and a signal changes nothing.
///
/// One object at a time, on the main thread.
class TerminationSignals : public QObject
{
public:
    /// Installs the handlers for the rest of the process; later calls change
    /// nothing. A signal whose handler cannot be installed keeps its
    /// disposition.
    static void install();

    /// Hands the signals to the event loop: create it just before the loop
    /// runs. Installs the handlers if that was not done. Where no pipe could
    /// be made, a signal still ends the process at once.
    explicit TerminationSignals(QObject* parent = nullptr);

    /// From here on a signal changes nothing; the handlers stay installed.
    ~TerminationSignals() override;

private:
    void requestTermination();
};

} // namespace calidra
