#include "TerminationSignals.h"

#include "ApplicationTermination.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace calidra {
namespace {

// The pipe between the signal handler and the event loop: [0] read, [1] write.
int signalPipe[2] = {-1, -1};
constexpr int HandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::requestTermination);
    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int handled : HandledSignals) {
        ::sigaction(handled, &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    for (const int handled : HandledSignals) {
        ::signal(handled, SIG_DFL);
    }
    for (int& end : signalPipe) {
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
    }
}

// Only async-signal-safe work here: one write, whose failure (a full pipe
// already holds a request) changes nothing.
void TerminationSignals::handleSignal(int)
{
    const char request = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &request, 1);
}

void TerminationSignals::requestTermination()
{
    char drained[16];
    while (::read(signalPipe[0], drained, sizeof(drained)) > 0) {
    }
    ApplicationTermination::requestTermination();
}

} // namespace calidra
