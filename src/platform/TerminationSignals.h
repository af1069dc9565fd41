#pragma once

#include <QObject>

class QSocketNotifier;

namespace calidra {

/// Turns the signals that ask a program to end (SIGTERM from a session that
/// logs out, SIGINT, SIGHUP) into a termination request on the event loop,
/// so that the program ends through its normal path and exits with 0. The
/// signal handler only writes one byte to a pipe; everything else happens on
/// the main thread. One object at a time.
class TerminationSignals : public QObject
{
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    static void handleSignal(int signal);
    void requestTermination();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace calidra
