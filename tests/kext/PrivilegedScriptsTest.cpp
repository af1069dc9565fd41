#include "kext/PrivilegedScripts.h"

#include "FixtureBundle.h"
#include "QtPrinters.h"
#include "RecordingLauncher.h"
#include "ScriptedAlerts.h"
#include "platform/PkexecLauncher.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <optional>
#include <tuple>

namespace calidra {
namespace {

using namespace std::chrono_literals;

QByteArray shippedScript(const QString& name)
{
    QFile file(QString::fromUtf8(CALIDRA_SCRIPTS_DIR) + u'/' + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

TEST(PrivilegedScriptsTest, StatusIsTheIntegerThatTheStatusScriptPrintsWithinItsBound)
{
    // The status script's body (null: no script), the status, whether it takes the whole bound.
    using Case = std::tuple<const char*, const char*, qint32, bool>;
    const Case cases[] = {
        {"PaddedOne", "printf '  1\\n'", 1, false},
        {"Zero", "printf 0", 0, false},
        {"NumberThenWord", "echo '2 words'", 2, false},
        {"NoOutput", ":", 0, false},
        {"WordOnly", "echo installed", 0, false},
        {"OneWithFailureStatus", "echo 1; exit 1", 1, false},
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
        if (body) {
            bundle.addResource(u"Scripts/statSpeedIt.sh"_qs, body);
        }
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(statSpeedIt(bound), status);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(elapsed >= bound, takesBound);
        EXPECT_LT(elapsed, bound + 1s);
    }
}

TEST(PrivilegedScriptsTest, OnlyTheShippedScriptsRunWithoutTheTamperAlert)
{
    const Alerts::Request tamperAlert{
        u"Privileged operation failed."_qs,
        u"The application seems to have been tampered with. Please reinstall Calidra.\n\n"
        "Continuing may put your computer at severe risk. It is strongly recommended not to "
        "proceed."_qs,
        {u"Cancel"_qs, u"Proceed Anyway"_qs},
        true};
    enum class File { Shipped, OneByteAltered, Missing };
    // Uninstall or install, the file in the bundle, the answer to the alert (null: no alert).
    using Case = std::tuple<const char*, bool, File, const char16_t*, bool>;
    const Case cases[] = {
        {"ShippedInstallScriptMatchesItsCompiledDigest", false, File::Shipped, nullptr, true},
        {"ShippedUninstallScriptMatchesItsCompiledDigest", true, File::Shipped, nullptr, true},
        {"AlteredScriptCancelledRunsNothing", false, File::OneByteAltered, u"Cancel", false},
        {"AlteredScriptRunsAfterProceedAnyway", true, File::OneByteAltered, u"Proceed Anyway",
         true},
        {"MissingScriptIsAMismatch", false, File::Missing, u"Cancel", false},
    };
    for (const auto& [name, uninstall, file, answer, runs] : cases) {
        SCOPED_TRACE(name);
        FixtureBundle bundle;
        RecordingLauncher launcher;
        ScriptedAlerts alerts;
        const QString script = uninstall ? u"uninstallSpeedItLaunchDaemon.sh"_qs
                                         : u"installAndRunSpeedItLaunchDaemon.sh"_qs;
        QByteArray contents = shippedScript(script);
        contents[contents.size() / 2] = char(contents[contents.size() / 2] ^ 1);
        if (file != File::Missing) {
            bundle.addResource(u"Scripts/"_qs + script,
                               file == File::Shipped ? shippedScript(script) : contents);
        }
        if (answer) {
            alerts.expect(tamperAlert, QString::fromUtf16(answer));
        }
        EXPECT_EQ(uninstall ? uninstallSpeedItLaunchDaemon() : installAndRunSpeedItLaunchDaemon(),
                  runs);
        const QStringList launch{u"/bin/sh"_qs,
                                 bundle.bundle.resourcePath() + u"/Scripts/"_qs + script};
        EXPECT_EQ(launcher.launches, runs ? QList<QStringList>{launch} : QList<QStringList>());
    }
}

TEST(PrivilegedScriptsTest, PkexecRunsTheToolBelowAShellThatOutlivesIt)
{
    const QStringList command = PkexecLauncher::detachedCommand(u"/bin/sh"_qs, {u"/a b"_qs});
    const qsizetype pkexec = command.indexOf(u"pkexec"_qs);
    ASSERT_GT(pkexec, 0);
    EXPECT_EQ(command.mid(pkexec), (QStringList{u"pkexec"_qs, u"/bin/sh"_qs, u"/a b"_qs}));
    // With pkexec replaced by env, the tool reports its parent: the waiting shell.
    QStringList probe =
        PkexecLauncher::detachedCommand(u"/bin/sh"_qs, {u"-c"_qs, u"echo $PPID"_qs});
    probe[pkexec] = u"env"_qs;
    QProcess shell;
    shell.start(probe.first(), probe.mid(1));
    ASSERT_TRUE(shell.waitForStarted());
    const qint64 shellId = shell.processId();
    ASSERT_TRUE(shell.waitForFinished());
    EXPECT_EQ(shell.readAllStandardOutput().trimmed().toLongLong(), shellId);
}

} // namespace
} // namespace calidra
