// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/TerminationSignals.h"

#include "platform/ApplicationTermination.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <utility>

namespace calidra {
namespace {

/// What a signal does, by the program's phase.
enum class Phase {
    Starting, // end at once
    Running,  // ask the event loop
    Ending,   // nothing: the program is ending anyway
};

std::atomic<Phase> phase = Phase::Starting;
static_assert(std::atomic<Phase>::is_always_lock_free, "a signal handler reads the phase");

// The pipe between the handler and the event loop: [0] read, [1] write. It
// stays open until exit, so a late signal never writes to a reused descriptor.
int signalPipe[2] = {-1, -1};
constexpr int HandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Only async-signal-safe work here. A failed write (a full pipe already holds
// a request) changes nothing.
void handleSignal(int)
{
    switch (phase.load()) {
    case Phase::Starting:
        ::_exit(0);
    case Phase::Running: {
        const int savedErrno = errno;
        const char request = 1;
        [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &request, 1);
        errno = savedErrno;
        break;
    }
    case Phase::Ending:
        break;
    }
}

} // namespace

void TerminationSignals::install()
{
    static bool installed = false;
    if (std::exchange(installed, true)) {
        return;
    }
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
    }
    struct sigaction action = {};
    action.sa_handler = &handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int handled : HandledSignals) {
        struct sigaction inherited = {};
        if (::sigaction(handled, nullptr, &inherited) == 0 && inherited.sa_handler != SIG_IGN) {
            ::sigaction(handled, &action, nullptr);
        }
    }
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    install();
    if (signalPipe[0] < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignals::requestTermination);
    phase = Phase::Running;
}

TerminationSignals::~TerminationSignals()
{
    phase = Phase::Ending;
}

void TerminationSignals::requestTermination()
{
    char drained[16];
    while (::read(signalPipe[0], drained, sizeof(drained)) > 0) {
    }
    ApplicationTermination::requestTermination();
}

} // namespace calidra
