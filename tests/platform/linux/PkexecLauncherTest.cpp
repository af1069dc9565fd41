// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/PkexecLauncher.h"

#include "FixtureTree.h"
#include "QtPrinters.h"
#include "RecordingLauncher.h"
#include "WaitUntil.h"
#include "platform/ApplicationTermination.h"
#include "platform/linux/TerminationSignals.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <tuple>

namespace calidra {
namespace {

using namespace std::chrono_literals;
using Outcome = PrivilegedLauncher::Outcome;
using Kind = Outcome::Kind;

// A pkexec that notes its parent's process id and runs the tool as the user.
class PkexecLauncherTest : public testing::Test
{
protected:
    PkexecLauncherTest()
    {
        folder.addFile(u"pkexec"_qs, "#!/bin/sh\necho $PPID >\"${0%/*}/parent\"; exec \"$@\"\n");
        EXPECT_TRUE(
            QFile::setPermissions(pkexec(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

    QString pkexec() const { return folder.absolute(u"pkexec"_qs); }

    QByteArray contents(const QString& name) const
    {
        return FixtureTree::readFile(folder.absolute(name));
    }

    // Waits as the program does, inside its running event loop, after `first`.
    static bool waitInEventLoop(
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

    FixtureTree folder;
};

TEST_F(PkexecLauncherTest, TheShellReadsTheGivenBytesAsAChildOfTheProgram)
{
    PkexecLauncher launcher(pkexec());
    const QByteArray script = "echo ran >'" + folder.absolute(u"marker"_qs).toUtf8() + "'\n";
    EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, script, {}), 0);
    EXPECT_TRUE(waitInEventLoop(launcher));
    EXPECT_EQ(contents(u"marker"_qs), "ran\n");
    EXPECT_EQ(contents(u"parent"_qs).trimmed().toLongLong(), QCoreApplication::applicationPid());
    EXPECT_TRUE(launcher.waitForFinished(0ms));
}

TEST_F(PkexecLauncherTest, TheOutcomeComesFromTheEventLoopAfterPkexecHasEnded)
{
    const QByteArray run = "exec \"$@\"";
    const QByteArray refused = "echo 'Error executing command as another user: ";
    // The fake pkexec's body after "#!/bin/sh" (empty: no pkexec), the script the shell
    // reads, the outcome.
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
        // An endless error output is cut.
        {run, "head -c 1000000 /dev/zero >&2; exit 3", {Kind::Failed, QByteArray(4096, '\0')}},
    };
    // clang-format on
    int number = 0;
    for (const auto& [body, script, outcome] : cases) {
        const QString name = u"pkexec%1"_qs.arg(++number);
        SCOPED_TRACE(body.toStdString());
        if (!body.isEmpty()) {
            folder.addFile(name, "#!/bin/sh\n" + body + '\n');
            QFile::setPermissions(folder.absolute(name),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
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

// A termination signal ends the wait, which would otherwise see the script
// end; the launch then ends with the launcher and tells nobody.
TEST_F(PkexecLauncherTest, ATerminationSignalEndsTheWaitAndTheLauncherItsLaunch)
{
    const ApplicationTermination termination;
    const TerminationSignals terminationSignals;
    bool heard = false;
    {
        PkexecLauncher launcher(pkexec());
        EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, "exec sleep 10\n",
                                  [&heard](const Outcome&) { heard = true; }),
                  0);
        EXPECT_FALSE(waitInEventLoop(launcher, [] { std::raise(SIGTERM); }));
        EXPECT_TRUE(termination.isTerminationRequested());
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(heard);
}

} // namespace
} // namespace calidra
