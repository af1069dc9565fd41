// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/PkexecLauncher.h"

#include "FixtureTree.h"
#include "QtPrinters.h"
#include "WaitUntil.h"
#include "platform/ApplicationTermination.h"
#include "platform/linux/TerminationSignals.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <optional>

namespace calidra {
namespace {

using namespace std::chrono_literals;
using Outcome = PrivilegedLauncher::Outcome;
using Kind = Outcome::Kind;

// Waits as the program does, inside its running event loop, after `first`.
bool waitInEventLoop(
    PrivilegedLauncher& launcher, void (*first)() = [] {})
{
    bool finished = false;
    QTimer::singleShot(0, [&] {
        first();
        finished = launcher.waitForFinished(60s);
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return finished;
}

// A pkexec that notes its parent's process id and runs the tool as the user.
TEST(PkexecLauncherTest, TheShellReadsTheGivenBytesAsAChildOfTheProgram)
{
    FixtureTree folder;
    folder.addExecutable(u"pkexec"_qs, "#!/bin/sh\necho $PPID >\"${0%/*}/parent\"; exec \"$@\"\n");
    PkexecLauncher launcher(folder.absolute(u"pkexec"_qs));
    const QByteArray script = "echo ran >'" + folder.absolute(u"marker"_qs).toUtf8() + "'\n";
    EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, script, {}), 0);
    EXPECT_TRUE(waitInEventLoop(launcher));
    EXPECT_EQ(FixtureTree::readFile(folder.absolute(u"marker"_qs)), "ran\n");
    EXPECT_EQ(FixtureTree::readFile(folder.absolute(u"parent"_qs)).trimmed().toLongLong(),
              QCoreApplication::applicationPid());
    EXPECT_TRUE(launcher.waitForFinished(0ms));
}

TEST(PkexecLauncherTest, TheOutcomeComesFromTheEventLoopAfterPkexecHasEnded)
{
    const QByteArray run = "exec \"$@\"";
    const QByteArray refused = "echo 'Error executing command as another user: ";
    // The fake pkexec's body (empty: no pkexec), the script the shell reads, the outcome.
    // clang-format off
    const std::tuple<QByteArray, QByteArray, Outcome> cases[] = {
        {run, "exit 0", {Kind::Succeeded, {}}},
        {"", "exit 0", {Kind::NotStarted, {}}},
        {"exit 126", "", {Kind::Dismissed, {}}},
        {refused + "Not authorized' >&2; exit 127", "",
         {Kind::NotAuthorized, "Error executing command as another user: Not authorized\n"}},
        {refused + "No authentication agent found.' >&2; exit 127", "",
         {Kind::NoAgent, "Error executing command as another user: No authentication agent found.\n"}},
        {"echo 'Error getting authority: Could not connect' >&2; exit 127", "",
         {Kind::NoAuthority, "Error getting authority: Could not connect\n"}},
        {run, "echo 'modprobe: FATAL' >&2; exit 1", {Kind::Failed, "modprobe: FATAL\n"}},
        {"kill -KILL $$", "", {Kind::Failed, {}}},
        {run, "head -c 1000000 /dev/zero >&2; exit 3", {Kind::Failed, QByteArray(4096, '\0')}}, // cut
    };
    // clang-format on
    FixtureTree folder;
    int number = 0;
    for (const auto& [body, script, outcome] : cases) {
        SCOPED_TRACE(body.toStdString());
        const QString name = u"pkexec%1"_qs.arg(++number);
        if (!body.isEmpty()) {
            folder.addExecutable(name, "#!/bin/sh\n" + body + '\n');
        }
        PkexecLauncher launcher(folder.absolute(name));
        std::optional<Outcome> heard;
        EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, script,
                                  [&heard](const Outcome& given) { heard = given; }),
                  body.isEmpty() ? 1 : 0);
        EXPECT_FALSE(heard);
        EXPECT_TRUE(waitUntil([&heard] { return heard.has_value(); }));
        EXPECT_EQ(heard, outcome);
        EXPECT_TRUE(launcher.waitForFinished(0ms));
    }
}

TEST(PkexecLauncherTest, ATerminationSignalEndsTheWaitAndTheLauncherItsLaunch)
{
    FixtureTree folder;
    folder.addExecutable(u"pkexec"_qs, "#!/bin/sh\nexec \"$@\"\n");
    const ApplicationTermination termination;
    const TerminationSignals terminationSignals;
    bool heard = false;
    {
        PkexecLauncher launcher(folder.absolute(u"pkexec"_qs));
        EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, "exec sleep 10\n",
                                  [&heard](const Outcome&) { heard = true; }),
                  0);
        EXPECT_FALSE(waitInEventLoop(launcher, [] { std::raise(SIGTERM); }));
        EXPECT_TRUE(termination.isTerminationRequested());
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(heard);
}

constexpr int Survived = 7;

// The exit status of a child that runs `work`, or 128 plus the signal; a hang ends in 20 s.
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

TEST(TerminationSignalsTest, EndsTheProcessOnlyWhereNothingElseWould)
{
    // clang-format off
    const std::tuple<const char*, void (*)(), int> cases[] = {
        {"before the event loop: ends the process with zero",
         [] { TerminationSignals::install(); ::raise(SIGTERM); ::_exit(Survived); }, 0},
        {"an inherited ignore stays ignored",
         [] { std::signal(SIGHUP, SIG_IGN); TerminationSignals::install(); ::raise(SIGHUP); ::_exit(Survived); },
         Survived},
        {"during the event loop: requests termination",
         [] {
             const ApplicationTermination termination;
             const TerminationSignals handed;
             QTimer::singleShot(0, [] { ::raise(SIGINT); });
             QCoreApplication::exec();
             ::_exit(termination.isTerminationRequested() ? Survived : 1);
         }, Survived},
        {"after the object is gone: changes nothing",
         [] { { const TerminationSignals handed; } ::raise(SIGTERM); ::raise(SIGHUP); ::_exit(Survived); },
         Survived},
    };
    // clang-format on
    for (const auto& [name, work, end] : cases) {
        EXPECT_EQ(endOf(work), end) << name;
    }
}

} // namespace
} // namespace calidra
