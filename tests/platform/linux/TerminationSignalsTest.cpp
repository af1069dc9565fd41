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

    friend void PrintTo(const SignalCase& row, std::ostream* out) { *out << row.name; }
};

const SignalCase signalCases[] = {
    {"BeforeTheEventLoopEndsTheProcessWithZero",
     [] {
         TerminationSignals::install();
         ::raise(SIGTERM);
         ::_exit(Survived);
     },
     0},
    {"AnInheritedIgnoreStaysIgnored",
     [] {
         std::signal(SIGHUP, SIG_IGN);
         TerminationSignals::install();
         ::raise(SIGHUP);
         ::_exit(Survived);
     },
     Survived},
    {"DuringTheEventLoopRequestsTermination",
     [] {
         const ApplicationTermination termination;
         const TerminationSignals handed;
         QTimer::singleShot(0, [] { ::raise(SIGINT); });
         QCoreApplication::exec();
         ::_exit(termination.isTerminationRequested() ? Survived : 1);
     },
     Survived},
    {"AfterTheObjectIsGoneChangesNothing",
     [] {
         {
             const TerminationSignals handed;
         }
         ::raise(SIGTERM);
         ::raise(SIGHUP);
         ::_exit(Survived);
     },
     Survived},
};

using TerminationSignalsTest = ::testing::TestWithParam<SignalCase>;

TEST_P(TerminationSignalsTest, EndsTheProcessOnlyWhereNothingElseWould)
{
    EXPECT_EQ(endOf(GetParam().work), GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(Cases, TerminationSignalsTest, ::testing::ValuesIn(signalCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace calidra
