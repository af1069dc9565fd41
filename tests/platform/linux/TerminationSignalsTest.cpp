// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/TerminationSignals.h"

#include "platform/ApplicationTermination.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace calidra {
namespace {

constexpr int Survived = 7;

/// How a child process that runs work ended: its exit status, or 128 plus the
/// signal that ended it. A child still running after 20 seconds is ended by
/// its alarm, so a hang fails the test instead of holding it up.
int endOf(void (*work)())
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);
        work();
        ::_exit(1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct SignalCase
{
    const char* name;
    void (*work)();
    int end;
};

// clang-format off
const SignalCase signalCases[] = {
    {"BeforeTheEventLoopEndsTheProcessWithZero",
     [] { TerminationSignals::install(); ::raise(SIGTERM); ::_exit(Survived); }, 0},
    {"AnInheritedIgnoreStaysIgnored",
     [] { std::signal(SIGHUP, SIG_IGN); TerminationSignals::install(); ::raise(SIGHUP); ::_exit(Survived); },
     Survived},
    {"DuringTheEventLoopRequestsTermination",
     [] {
         const ApplicationTermination termination;
         const TerminationSignals handed;
         QTimer::singleShot(0, [] { ::raise(SIGINT); });
         QCoreApplication::exec();
         ::_exit(termination.isTerminationRequested() ? Survived : 1);
     }, Survived},
    {"AfterTheObjectIsGoneChangesNothing",
     [] { { const TerminationSignals handed; } ::raise(SIGTERM); ::raise(SIGHUP); ::_exit(Survived); },
     Survived},
};
// clang-format on

TEST(TerminationSignalsTest, EndsTheProcessOnlyWhereNothingElseWould)
{
    for (const auto& [name, work, end] : signalCases) {
        EXPECT_EQ(endOf(work), end) << name;
    }
}

} // namespace
} // namespace calidra
