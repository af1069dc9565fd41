#include "platform/linux/PkexecLauncher.h"

#include "FixtureTree.h"
#include "QtPrinters.h"
#include "platform/ApplicationTermination.h"
#include "platform/linux/TerminationSignals.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace calidra {
namespace {

using namespace std::chrono_literals;

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
    EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, script), 0);
    EXPECT_TRUE(waitInEventLoop(launcher));
    EXPECT_EQ(contents(u"marker"_qs), "ran\n");
    EXPECT_EQ(contents(u"parent"_qs).trimmed().toLongLong(), QCoreApplication::applicationPid());
    EXPECT_TRUE(launcher.waitForFinished(0ms));
}

TEST_F(PkexecLauncherTest, AMissingPkexecStartsNothing)
{
    PkexecLauncher launcher(folder.absolute(u"missing"_qs));
    EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, "exit 0\n"), 1);
    EXPECT_TRUE(launcher.waitForFinished(60s));
}

TEST_F(PkexecLauncherTest, ATerminationSignalEndsTheWait)
{
    const ApplicationTermination termination;
    const TerminationSignals terminationSignals;
    PkexecLauncher launcher(pkexec());
    // Without the signal the wait would see the script end.
    EXPECT_EQ(launcher.launch(u"/bin/sh"_qs, {u"-s"_qs}, "exec sleep 10\n"), 0);
    EXPECT_FALSE(waitInEventLoop(launcher, [] { std::raise(SIGTERM); }));
    EXPECT_TRUE(termination.isTerminationRequested());
}

} // namespace
} // namespace calidra
