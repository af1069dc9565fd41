// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "RecordingLauncher.h"
#include "ScriptedAlerts.h"
#include "hardware/IORegistry.h"
#include "kext/DriverHelper.h"
#include "kext/DriverLoadAlerts.h"
#include "kext/PrivilegedScripts.h"
#include "kext/SpeedItInstallation.h"
#include "platform/ApplicationTermination.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <limits>
#include <optional>
#include <tuple>

namespace calidra {
namespace {

using namespace std::chrono_literals;
using Kind = PrivilegedLauncher::Outcome::Kind;
using Launches = QList<RecordingLauncher::Launch>;

// Runs a script of the scripts folder with /bin/sh in a private mount namespace where root's sys,
// etc and proc/cpuinfo, if present, hide the system's own and /usr/sbin holds only a modprobe that
// prints its arguments and exits with modprobeStatus. Gives the output and "exit <status>". With
// detach set, the script runs from a copy whose folder is deleted once it is open.
QByteArray runScript(const QString& script, const QString& root, int modprobeStatus = 0,
                     bool detach = false)
{
    const char* runner = R"(for p in sys etc proc/cpuinfo; do
[ ! -e "$1/$p" ] || mount --bind "$1/$p" "/$p" || exit 99; done; mount -t tmpfs none /usr/sbin
printf '#!/bin/sh\necho modprobe $*; exit %s\n' $2 >/usr/sbin/modprobe; chmod +x /usr/sbin/modprobe
s=$3; if [ "$4" = 1 ]; then d=$(mktemp -d); cp "$s" "$d"; exec 3<"$d/${s##*/}"; rm -r "$d"
s=/dev/fd/3; fi; /bin/sh "$s"; echo "exit $?")";
    QProcess process;
    process.setWorkingDirectory(QString::fromUtf8(CALIDRA_SCRIPTS_DIR));
    process.start(u"unshare"_qs,
                  {u"--mount"_qs, u"--propagation"_qs, u"private"_qs, u"/bin/sh"_qs, u"-c"_qs,
                   QString::fromUtf8(runner), u"sh"_qs, root, QString::number(modprobeStatus),
                   script, QString::number(detach)});
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

class ComponentScriptsTest : public ::testing::Test
{
    void SetUp() override
    {
        static const bool available = runScript(u"/dev/null"_qs, QString()) == "exit 0\n";
        if (!available)
            GTEST_SKIP() << "binding fixtures needs root and a private mount namespace";
    }
};

TEST_F(ComponentScriptsTest, StatPrintsOneOnlyWhileATemperatureDriverIsLoaded)
{
    // Folders under /sys/module, then names of hwmon devices behind class links (null: unreadable).
    // clang-format off
    const std::tuple<QStringList, QByteArrayList, const char*> cases[] = {
        {{u"coretemp"_qs}, {}, "1\n"},
        {{}, {"acpitz\n", "k10temp\n"}, "1\n"},
        {{}, {"zenpower"}, "1\n"}, // no line feed
        {{}, {QByteArray(), "coretemp\n"}, "1\n"},
        {{u"nvme"_qs}, {"acpitz\n"}, "0\n"},
        {{u"coretemp_old"_qs}, {"k10temp2\n"}, "0\n"},
        {{}, {}, "0\n"}, // no hwmon class
    };
    // clang-format on
    for (const auto& [modules, hwmonNames, out] : cases) {
        SCOPED_TRACE((modules + QString::fromUtf8(hwmonNames.join(',')).split(u','))
                         .join(u' ')
                         .toStdString());
        FixtureTree tree;
        for (const QString& module : modules + QStringList{u"kernel"_qs})
            tree.addFolder(u"sys/module/"_qs + module);
        for (int i = 0; i < hwmonNames.size(); ++i) {
            const QString file = u"sys/devices/d%1/name"_qs.arg(i);
            hwmonNames[i].isNull() ? tree.addUnreadable(file) : tree.addFile(file, hwmonNames[i]);
            tree.addSymlink(u"sys/class/hwmon/hwmon%1"_qs.arg(i), u"../../devices/d%1"_qs.arg(i));
        }
        EXPECT_EQ(runScript(u"statSpeedIt.sh"_qs, tree.root()), out + QByteArray("exit 0\n"));
    }
}

TEST_F(ComponentScriptsTest, InstallLoadsTheVendorsDriverForBootAndUninstallRemovesItsFileOnly)
{
    // Vendor, modprobe's status, whether the boot folder exists, the driver modprobe is asked for.
    const std::tuple<QByteArray, int, bool, QByteArray> cases[] = {
        {"GenuineIntel", 0, true, "coretemp"},
        {"AuthenticAMD", 0, false, "k10temp"},
        {"CentaurHauls", 0, true, ""},
        {"GenuineIntel", 1, true, "coretemp"},
    };
    for (const auto& [vendor, status, bootFolder, driver] : cases) {
        SCOPED_TRACE(vendor.data() + std::to_string(status));
        FixtureTree tree;
        tree.addFile(u"proc/cpuinfo"_qs, QByteArray("processor\t: 0\nvendor_id\t: V\n\n"
                                                    "processor\t: 1\nvendor_id\t: V\n")
                                             .replace("V", vendor));
        tree.addFile(bootFolder ? u"etc/modules-load.d/other.conf"_qs : u"etc/other.conf"_qs, "");
        const bool succeeds = !driver.isEmpty() && status == 0;
        EXPECT_EQ(runScript(u"installAndRunSpeedItLaunchDaemon.sh"_qs, tree.root(), status),
                  (driver.isEmpty() ? "" : "modprobe " + driver + '\n') +
                      (succeeds ? "exit 0\n" : "exit 1\n"));
        QDir boot(tree.absolute(u"etc/modules-load.d"_qs));
        QFile file(boot.filePath(u"calidra.conf"_qs));
        EXPECT_EQ(file.open(QIODevice::ReadOnly) && file.readAll().endsWith('\n' + driver + '\n'),
                  succeeds);
        // Uninstall keeps the driver loaded and needs no folder; install left no temporary file.
        EXPECT_EQ(runScript(u"uninstallSpeedItLaunchDaemon.sh"_qs, tree.root(), 0, true),
                  "exit 0\n");
        EXPECT_EQ(boot.entryList(QDir::Files | QDir::Hidden),
                  bootFolder ? QStringList{u"other.conf"_qs} : QStringList());
    }
}

TEST(DriverHelperTest, OnlyRootCanChangeATrustedNodeAndPath)
{
    // Owner, mode with the file type, trusted.
    const std::tuple<uid_t, mode_t, bool> cases[] = {
        {0, S_IFREG | 0755, true},  {1000, S_IFREG | 0755, false}, {0, S_IFREG | 0775, false},
        {0, S_IFREG | 0757, false}, {0, S_IFREG | 01777, false},   {0, S_IFDIR | 0755, true},
        {0, S_IFDIR | 0777, false}, {0, S_IFDIR | 01777, true},    {0, S_IFLNK | 0777, false},
        {0, S_IFIFO | 0644, false},
    };
    for (const auto& [owner, mode, trusted] : cases) {
        struct stat node = {};
        node.st_uid = owner;
        node.st_mode = mode;
        EXPECT_EQ(DriverHelper::isTrustedNode(node), trusted) << owner << ' ' << std::oct << mode;
    }
    char* shell = ::realpath("/bin/sh", nullptr);
    ASSERT_TRUE(shell);
    const QString realShell = QString::fromLocal8Bit(shell);
    std::free(shell);
    EXPECT_TRUE(DriverHelper::isTrusted(realShell));
    EXPECT_FALSE(DriverHelper::isTrusted(realShell.mid(1)));
    EXPECT_FALSE(DriverHelper::isTrusted(u"/nonexistent/calidra-driver"_qs));
    EXPECT_FALSE(DriverHelper::isTrusted(QString()));
    FixtureTree tree;
    tree.addSymlink(u"link"_qs, realShell);
    EXPECT_FALSE(DriverHelper::isTrusted(tree.absolute(u"link"_qs)));
}

// A bundle holding the package's helper and the shipped scripts: pkexec gets the helper by path
// with one argument while only root can change it; else nothing runs.
TEST(DriverHelperTest, PkexecGetsTheHelperOnlyWhileOnlyRootCanChangeIt)
{
    FixtureBundle bundle;
    RecordingLauncher launcher;
    ScriptedAlerts alerts;
    for (const char* script :
         {"Scripts/installAndRunSpeedItLaunchDaemon.sh", "Scripts/uninstallSpeedItLaunchDaemon.sh"})
        bundle.addResource(QString::fromLatin1(script), shippedFile(script));
    const QString helper = bundle.tree.absolute(u"Calidra/calidra-driver"_qs);
    const auto ship = [&] {
        bundle.tree.addFile(u"Calidra/calidra-driver"_qs, shippedFile("package/calidra-driver"));
    };
    ship();
    const bool root = ::geteuid() == 0; // only the superuser can make a helper that root owns
    if (root) {
        EXPECT_TRUE(installAndRunSpeedItLaunchDaemon());
        EXPECT_TRUE(uninstallSpeedItLaunchDaemon());
        EXPECT_EQ(launcher.launches,
                  (Launches{{helper, {u"install"_qs}, {}}, {helper, {u"uninstall"_qs}, {}}}));
        // An altered helper asks first, as an altered script does.
        bundle.tree.addFile(u"Calidra/calidra-driver"_qs, "#!/bin/sh\nexit 0\n");
        alerts.expect(TamperAlert, u"Cancel"_qs);
        EXPECT_FALSE(installAndRunSpeedItLaunchDaemon());
        ship();
        ASSERT_EQ(::chown(QFile::encodeName(helper).constData(), 65534, 65534), 0);
    }
    const QString untrusted = u"Calidra's driver helper (%1) is not owned by the administrator or "
                              "can be changed by other users, so Calidra does not run it. Please "
                              "reinstall Calidra."_qs.arg(helper);
    alerts.expect({u"Privileged operation failed."_qs, untrusted, {u"OK"_qs}, true}, u"OK"_qs);
    EXPECT_FALSE(installAndRunSpeedItLaunchDaemon());
    EXPECT_EQ(launcher.launches.size(), root ? 2 : 0);
}

TEST(DriverLoadAlertsTest, EachFailureSaysWhatFailedAndGivesThisMachinesCommand)
{
    const QString title = u"The processor's temperature driver was not loaded."_qs;
    // Vendor, outcome, standard error, the informative text (null: no alert).
    const std::tuple<QByteArray, Kind, QByteArray, const char16_t*> cases[] = {
        {"GenuineIntel", Kind::Succeeded, "", nullptr},
        {"HygonGenuine", Kind::Dismissed, "",
         u"The password dialog was closed without a password. Calidra offers to load the driver "
         "again at its next start; you can also load it yourself in a terminal:\n\nsudo "
         "modprobe k10temp"},
        {"CentaurHauls", Kind::NotAuthorized, "",
         u"The password was not accepted, or this user may not act as an administrator. An "
         "administrator can load the driver in a terminal:\n\nsudo modprobe coretemp    (Intel "
         "processors)\nsudo modprobe k10temp    (AMD processors)"},
        {"GenuineIntel", Kind::Failed, "first\nmodprobe: FATAL: Module coretemp not found\n\n",
         u"The script that loads the driver failed. Load the driver yourself in a terminal to "
         "see why:\n\nsudo modprobe coretemp\n\nmodprobe: FATAL: Module coretemp not found"},
        {"GenuineIntel", Kind::Failed, " \n",
         u"The script that loads the driver failed. Load the driver yourself in a terminal to "
         "see why:\n\nsudo modprobe coretemp"},
    };
    for (const auto& [vendor, kind, standardError, informative] : cases) {
        SCOPED_TRACE(vendor.data() + std::to_string(int(kind)));
        FixtureTree tree;
        tree.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\nvendor_id\t: " + vendor + '\n');
        tree.addFolder(u"sys/devices"_qs);
        const IORegistry registry{tree.root()};
        ScriptedAlerts alerts;
        if (informative)
            alerts.expect({title, QString::fromUtf16(informative), {u"OK"_qs}, false}, u"OK"_qs);
        tellDriverLoadOutcome({kind, standardError});
    }
}

TEST(PrivilegedScriptsTest, StatusIsTheIntegerThatTheStatusScriptPrintsWithinItsBound)
{
    // The status script's body (null: no script), the status, whether it takes the whole bound.
    // clang-format off
    const std::tuple<const char*, qint32, bool> cases[] = {
        {"printf '  1\\n'", 1, false},
        {"echo '2 words'", 2, false},
        {":", 0, false},
        {"echo -3", -3, false},
        {"echo 99999999999", std::numeric_limits<qint32>::max(), false},
        {"printf '\\342\\200\\2035\\342\\200\\250'", 5, false}, // Unicode spaces around
        {"printf '1\\377'", 0, false}, // invalid UTF-8
        {nullptr, 0, false},
        {"echo 1; sleep 60", 0, true},
        {"printf 7; head -c 8000000 /dev/zero | tr '\\0' x", 7, false},
        {"echo 4; sleep 2 2>/dev/null &", 4, false}, // a child keeps the pipe open
    };
    // clang-format on
    const auto bound = 1500ms;
    for (const auto& [body, status, takesBound] : cases) {
        SCOPED_TRACE(body ? body : "no script");
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
    const pid_t child = pid_t(FixtureTree::readFile(pidFile).trimmed().toInt());
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
    // clang-format off
    const std::tuple<bool, File, const char16_t*, bool, bool> cases[] = {
        {false, File::Shipped, nullptr, true, true}, // matches its compiled digest
        {true, File::Shipped, nullptr, true, true},
        {false, File::OneByteAltered, u"Cancel", false, false},
        {true, File::OneByteAltered, u"", false, false},
        {true, File::OneByteAltered, u"Proceed Anyway", true, true}, // runs as read
        {false, File::Missing, u"Cancel", false, false},
        {false, File::Missing, u"Proceed Anyway", true, false}, // nothing to run
    };
    // clang-format on
    for (const auto& [uninstall, file, answer, result, launched] : cases) {
        SCOPED_TRACE(testing::Message() << uninstall << int(file) << (answer ? "answered" : ""));
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
        EXPECT_EQ(launcher.launches, launched ? Launches{launch} : Launches());
        // Only a failed install is told; the uninstall dialog goes on whatever happens.
        EXPECT_EQ(bool(launcher.outcomeHandlers.value(0)), launched && !uninstall);
    }
}

TEST(SpeedItInstallationTest, OnlyAMachineWhereLoadingCanSucceedIsOfferedTheDriver)
{
    const Alerts::Request installAlert{
        u"The processor's temperature driver needs to be loaded."_qs,
        u"In order to gauge temperature or frequency values on this computer, Calidra needs to "
        "load the processor's temperature driver, now and at every start of the computer. This "
        "requires an administrator's password, but only needs to be done once."_qs,
        {u"Proceed"_qs, u"Cancel and Quit"_qs},
        false};
    const auto cpuinfo = [](const QByteArray& vendor, int family, const QByteArray& flags) {
        return FixtureTree::cpuinfo(vendor, QByteArray::number(family), "fpu vme " + flags);
    };
    const QByteArray intel = cpuinfo("GenuineIntel", 6, "dtherm ida arat");
    const QByteArray zen = cpuinfo("AuthenticAMD", 25, "svm extapic");
    const QStringList both = {u"coretemp.ko"_qs, u"k10temp.ko.xz"_qs};
    // Processor, status output, modules, answer (null: no alert; empty: dismissed), how the
    // install ends (null: it does not run), whether it quits.
    // clang-format off
    const std::tuple<const char*, QByteArray, QByteArray, QStringList, const char16_t*, std::optional<Kind>, bool> cases[] = {
        {"UnlistedModel", cpuinfo("CentaurHauls", 6, "dtherm"), "0", both, nullptr, {}, false},
        {"ComponentPresent", intel, "1", both, nullptr, {}, false},
        {"VirtualMachine", cpuinfo("GenuineIntel", 6, "dtherm hypervisor"), "0", both, nullptr, {}, false},
        {"KernelWithoutTheModule", zen, "0", {u"coretemp.ko"_qs}, nullptr, {}, false},
        {"UnsupportedFamily", cpuinfo("AuthenticAMD", 15, "svm"), "0", both, nullptr, {}, false},
        {"ProceedSucceeds", zen, "0", both, u"Proceed", Kind::Succeeded, false},
        {"ProceedRefused", intel, "0", both, u"Proceed", Kind::NotAuthorized, false},
        {"NoStatusCancelAndQuit", intel, "", both, u"Cancel and Quit", {}, true},
        {"Dismissed", intel, "0", both, u"", {}, true},
    };
    // clang-format on
    for (const auto& [name, processor, status, modules, answer, ending, quits] : cases) {
        SCOPED_TRACE(name);
        // An x86 machine whose kernel has `modules` in kernel/drivers/hwmon, the shipped model
        // list and install script, and a status script that notes that it ran. Each member uses
        // the ones above it.
        FixtureTree tree;
        tree.addFile(u"proc/cpuinfo"_qs, processor);
        tree.addFile(u"proc/sys/kernel/osrelease"_qs, "6.1.0-18-amd64\n");
        for (const QString& module : modules)
            tree.addFile(u"lib/modules/6.1.0-18-amd64/kernel/drivers/hwmon/"_qs + module, "");
        tree.addFolder(u"sys/devices"_qs);
        IORegistry registry{tree.root()};
        FixtureBundle bundle;
        bundle.addResource(u"IntelModels.plist"_qs, shippedFile("IntelModels.plist"));
        bundle.addResource(u"Scripts/installAndRunSpeedItLaunchDaemon.sh"_qs,
                           shippedFile("Scripts/installAndRunSpeedItLaunchDaemon.sh"));
        bundle.addResource(u"Scripts/statSpeedIt.sh"_qs,
                           ": >\"${0%/*}/ran\"; echo '" + status + "'");
        RecordingLauncher launcher;
        ScriptedAlerts alerts;
        ApplicationTermination termination;
        if (answer)
            alerts.expect(installAlert, QString::fromUtf16(answer));
        initializeSpeedIt();
        EXPECT_EQ(QFileInfo::exists(bundle.bundle.resourcePath() + u"/Scripts/ran"_qs),
                  !processor.contains("CentaurHauls"));
        ASSERT_EQ(launcher.launches.size(), ending ? 1 : 0);
        EXPECT_EQ(termination.isTerminationRequested(), quits);
        if (ending) {
            if (const std::optional<Alerts::Request> told = driverLoadFailureAlert({*ending, {}}))
                alerts.expect(*told, u"OK"_qs);
            launcher.finish(0, {*ending, {}});
        }
    }
}

} // namespace
} // namespace calidra
