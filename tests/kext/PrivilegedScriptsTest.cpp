// SPDX-License-Identifier: GPL-3.0-or-later
#include "kext/PrivilegedScripts.h"

#include "FixtureBundle.h"
#include "QtPrinters.h"
#include "RecordingLauncher.h"
#include "ScriptedAlerts.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <limits>
#include <optional>
#include <tuple>

namespace calidra {
namespace {

using namespace std::chrono_literals;

TEST(PrivilegedScriptsTest, StatusIsTheIntegerThatTheStatusScriptPrintsWithinItsBound)
{
    // The status script's body (null: no script), the status, whether it takes the whole bound.
    using Case = std::tuple<const char*, const char*, qint32, bool>;
    const Case cases[] = {
        {"PaddedOne", "printf '  1\\n'", 1, false},
        {"NumberThenWord", "echo '2 words'", 2, false},
        {"NoOutput", ":", 0, false},
        {"Negative", "echo -3", -3, false},
        {"BeyondThirtyTwoBits", "echo 99999999999", std::numeric_limits<qint32>::max(), false},
        {"UnicodeSpacesAround", "printf '\\342\\200\\2035\\342\\200\\250'", 5, false},
        {"InvalidUtf8", "printf '1\\377'", 0, false},
        {"MissingScript", nullptr, 0, false},
        {"NeverEnds", "echo 1; sleep 60", 0, true},
        {"MegabytesOfOutput", "printf 7; head -c 8000000 /dev/zero | tr '\\0' x", 7, false},
        {"ChildKeepsThePipeOpen", "echo 4; sleep 2 2>/dev/null &", 4, false},
    };
    const auto bound = 1500ms;
    for (const auto& [name, body, status, takesBound] : cases) {
        SCOPED_TRACE(name);
        FixtureBundle bundle;
        if (body)
            bundle.addResource(u"Scripts/statSpeedIt.sh"_qs, body);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(statSpeedIt(bound), status);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(elapsed >= bound, takesBound);
        EXPECT_LT(elapsed, bound + 1s);
    }
}

TEST(PrivilegedScriptsTest, TimedOutStatusScriptTakesItsBackgroundChildrenWithIt)
{
    QTemporaryDir folder;
    const QString pidFile = folder.filePath(u"pid"_qs);
    EXPECT_EQ(runShellScriptWithArguments(
                  {u"-c"_qs, u"sleep 30 & echo $! >\"$0\"; echo 1; sleep 30"_qs, pidFile}, 300ms),
              QString());
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const pid_t child = pid_t(file.readAll().trimmed().toInt());
    ASSERT_GT(child, 0);
    // Killed, it may stay a zombie for a moment until it is reaped.
    const auto alive = [child] {
        QFile stat(u"/proc/%1/stat"_qs.arg(child));
        return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
    };
    const QDeadlineTimer deadline(10s);
    while (alive() && !deadline.hasExpired())
        QThread::msleep(10);
    EXPECT_FALSE(alive());
    ::kill(child, SIGKILL);
}

TEST(PrivilegedScriptsTest, OnlyTheShippedScriptsRunWithoutTheTamperAlertAndRunWhatWasChecked)
{
    enum class File { Shipped, OneByteAltered, Missing };
    // Uninstall or install, the file in the bundle, the answer to the alert (null: no alert; empty:
    // dismissed without a button), the result, whether the shell is launched.
    using Case = std::tuple<const char*, bool, File, const char16_t*, bool, bool>;
    const Case cases[] = {
        {"ShippedInstallScriptMatchesItsCompiledDigest", false, File::Shipped, nullptr, true, true},
        {"ShippedUninstallScriptMatchesItsCompiledDigest", true, File::Shipped, nullptr, true,
         true},
        {"AlteredScriptCancelledRunsNothing", false, File::OneByteAltered, u"Cancel", false, false},
        {"AlteredScriptDismissedRunsNothing", true, File::OneByteAltered, u"", false, false},
        {"AlteredScriptRunsAsReadAfterProceedAnyway", true, File::OneByteAltered, u"Proceed Anyway",
         true, true},
        {"MissingScriptIsAMismatch", false, File::Missing, u"Cancel", false, false},
        {"MissingScriptProceededHasNothingToRun", false, File::Missing, u"Proceed Anyway", true,
         false},
    };
    for (const auto& [name, uninstall, file, answer, result, launched] : cases) {
        SCOPED_TRACE(name);
        FixtureBundle bundle;
        RecordingLauncher launcher;
        ScriptedAlerts alerts;
        const QString script = uninstall ? u"Scripts/uninstallSpeedItLaunchDaemon.sh"_qs
                                         : u"Scripts/installAndRunSpeedItLaunchDaemon.sh"_qs;
        QByteArray contents = shippedFile(script.toUtf8().constData());
        if (file == File::OneByteAltered)
            contents[contents.size() / 2] = char(contents[contents.size() / 2] ^ 1);
        if (file != File::Missing)
            bundle.addResource(script, contents);
        if (answer) {
            // Whoever can write the bundle swaps the script while the alert is up.
            alerts.expect(TamperAlert, QString::fromUtf16(answer),
                          [&bundle, &script] { bundle.addResource(script, "echo swapped\n"); });
        }
        EXPECT_EQ(uninstall ? uninstallSpeedItLaunchDaemon() : installAndRunSpeedItLaunchDaemon(),
                  result);
        const RecordingLauncher::Launch launch{u"/bin/sh"_qs, {u"-s"_qs}, contents};
        EXPECT_EQ(launcher.launches, launched ? QList<RecordingLauncher::Launch>{launch}
                                              : QList<RecordingLauncher::Launch>());
        // Only a failed install is told; the uninstall dialog goes on whatever happens.
        EXPECT_EQ(bool(launcher.outcomeHandlers.value(0)), launched && !uninstall);
    }
}

} // namespace
} // namespace calidra
