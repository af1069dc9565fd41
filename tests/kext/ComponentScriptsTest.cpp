#include "FixtureTree.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace calidra {
namespace {

// Runs a script the way the program does (/bin/sh and its path) inside a
// private mount namespace, after binding each fixture (source, target) pair
// over the system's own path. With detach set, the script is opened and its
// folder deleted before it starts, as happens when the bundle goes to the Trash.
const char* const kRunner = R"(set -e
script=$1 detach=$2
shift 2
while [ $# -gt 0 ]; do mount --bind "$1" "$2"; shift 2; done
if [ "$detach" = 1 ]; then exec 3<"$script"; rm -rf -- "${script%/*}"; script=/dev/fd/3; fi
exec /bin/sh "$script")";

using Mounts = std::vector<std::pair<QString, QString>>;

struct ScriptResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QString scriptPath(const QString& name)
{
    return QDir(QString::fromUtf8(CALIDRA_SCRIPTS_DIR)).filePath(name);
}

ScriptResult runInNamespace(const QString& script, const Mounts& mounts, bool detach = false)
{
    QStringList arguments{u"--mount"_qs,
                          u"--propagation"_qs,
                          u"private"_qs,
                          u"/bin/sh"_qs,
                          u"-c"_qs,
                          QString::fromUtf8(kRunner),
                          u"runner"_qs,
                          script,
                          detach ? u"1"_qs : u"0"_qs};
    for (const auto& [source, target] : mounts)
        arguments << source << target;
    QProcess process;
    process.setWorkingDirectory(u"/"_qs);
    process.start(u"unshare"_qs, arguments);
    ScriptResult run;
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "script did not finish within 10 s: " << script.toStdString();
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Why the scripts cannot run here, or nothing when they can.
std::optional<std::string> namespaceUnavailable()
{
    if (::geteuid() != 0)
        return "binding fixtures over system paths needs root";
    QTemporaryDir dir;
    QProcess probe;
    probe.start(u"unshare"_qs, {u"--mount"_qs, u"--propagation"_qs, u"private"_qs, u"mount"_qs,
                                u"--bind"_qs, dir.path(), dir.path()});
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0)
        return "no private mount namespace with bind mounts here: " +
               probe.readAllStandardError().trimmed().toStdString();
    return std::nullopt;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString calls(const FixtureTree& tree)
{
    return tree.absolute(u"modprobe-calls"_qs);
}

QString bootFolder(const FixtureTree& tree)
{
    return tree.absolute(u"etc/modules-load.d"_qs);
}

// A stand-in for /usr/sbin whose only tool is a modprobe that records its
// arguments and exits with the given status.
void addFakeModprobe(FixtureTree& tree, int status)
{
    tree.addFile(u"sbin/modprobe"_qs, QStringLiteral("#!/bin/sh\necho \"$*\" >>'%1'\nexit %2\n")
                                          .arg(calls(tree), QString::number(status))
                                          .toUtf8());
    QFile::setPermissions(tree.absolute(u"sbin/modprobe"_qs),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class ComponentScriptsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static const std::optional<std::string> reason = namespaceUnavailable();
        if (reason)
            GTEST_SKIP() << *reason;
    }
};

// Stat: which system trees count as a loaded temperature driver.

void module(FixtureTree& tree, const char* driver)
{
    tree.addFolder(u"sys/module/"_qs + QString::fromUtf8(driver));
}

// A hwmon device the way the kernel lays it out: the class entry links to the
// device folder that holds the name file (std::nullopt: a name no one can read).
void hwmon(FixtureTree& tree, int index, const std::optional<QByteArray>& name)
{
    const QString device = QStringLiteral("devices/platform/dev.%1/hwmon/hwmon%1").arg(index);
    tree.addFolder(u"sys/"_qs + device);
    if (name)
        tree.addFile(u"sys/"_qs + device + u"/name"_qs, *name);
    else
        tree.addUnreadable(u"sys/"_qs + device + u"/name"_qs);
    tree.addSymlink(QStringLiteral("sys/class/hwmon/hwmon%1").arg(index), u"../../"_qs + device);
}

TEST_F(ComponentScriptsTest, StatTellsWhetherATemperatureDriverIsLoaded)
{
    struct Case
    {
        const char* name;
        std::function<void(FixtureTree&)> build;
        QByteArray expected;
    };
    const Case cases[] = {
        {"CoretempModule", [](FixtureTree& t) { module(t, "coretemp"); }, "1\n"},
        {"K10tempModule", [](FixtureTree& t) { module(t, "k10temp"); }, "1\n"},
        {"ZenpowerModule", [](FixtureTree& t) { module(t, "zenpower"); }, "1\n"},
        {"BuiltInCoretemp",
         [](FixtureTree& t) {
             hwmon(t, 0, "acpitz\n");
             hwmon(t, 1, "coretemp\n");
         },
         "1\n"},
        {"BuiltInK10temp", [](FixtureTree& t) { hwmon(t, 3, "k10temp\n"); }, "1\n"},
        {"BuiltInZenpower", [](FixtureTree& t) { hwmon(t, 2, "zenpower\n"); }, "1\n"},
        {"NameWithoutLineFeed", [](FixtureTree& t) { hwmon(t, 0, "k10temp"); }, "1\n"},
        {"UnreadableNameBeforeDriver",
         [](FixtureTree& t) {
             hwmon(t, 0, std::nullopt);
             hwmon(t, 1, "zenpower\n");
         },
         "1\n"},
        {"OnlyOtherSensors",
         [](FixtureTree& t) {
             module(t, "nvme");
             hwmon(t, 0, "acpitz\n");
             hwmon(t, 1, "nvme\n");
         },
         "0\n"},
        {"NamesThatOnlyStartLikeADriver",
         [](FixtureTree& t) {
             module(t, "coretemp_old");
             hwmon(t, 0, "k10temp2\n");
             hwmon(t, 1, "zenpower x\n");
         },
         "0\n"},
        {"EmptyHwmonClass", [](FixtureTree& t) { t.addFolder(u"sys/class/hwmon"_qs); }, "0\n"},
        {"NoHwmonClass", [](FixtureTree&) {}, "0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureTree sys;
        sys.addFolder(u"sys/module/kernel"_qs);
        c.build(sys);
        const ScriptResult run = runInNamespace(scriptPath(u"statSpeedIt.sh"_qs),
                                                {{sys.absolute(u"sys"_qs), u"/sys"_qs}});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, c.expected);
        EXPECT_EQ(run.err, QByteArray());
    }
}

// Install: the vendor picks the driver; the boot file appears only on success.

QByteArray cpuinfo(const QByteArray& vendor)
{
    if (vendor.isEmpty())
        return "processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: 0x41\n\n";
    QByteArray text;
    for (const char* processor : {"0", "1"})
        text += "processor\t: " + QByteArray(processor) + "\nvendor_id\t: " + vendor +
                "\ncpu family\t: 6\nmodel name\t: Test Processor\n\n";
    return text;
}

TEST_F(ComponentScriptsTest, InstallLoadsTheVendorsDriverAndKeepsItForBoot)
{
    struct Case
    {
        const char* name;
        QByteArray vendor; // empty: no vendor line at all
        int modprobeStatus;
        bool bootFolder;
        QByteArray earlier; // boot file left by an earlier run, or empty
        const char* driver; // the driver modprobe is asked for, or nullptr
        bool succeeds;
    };
    const Case cases[] = {
        {"Intel", "GenuineIntel", 0, true, "", "coretemp", true},
        {"Amd", "AuthenticAMD", 0, true, "", "k10temp", true},
        {"Hygon", "HygonGenuine", 0, true, "", "k10temp", true},
        {"CreatesTheBootFolder", "GenuineIntel", 0, false, "", "coretemp", true},
        {"ReplacesAnEarlierBootFile", "AuthenticAMD", 0, true, "#\ncoretemp\n", "k10temp", true},
        {"UnknownVendor", "CentaurHauls", 0, true, "#\ncoretemp\n", nullptr, false},
        {"VendorWithSuffix", "GenuineIntelX", 0, true, "", nullptr, false},
        {"NoVendorLine", "", 0, true, "", nullptr, false},
        {"DriverMissing", "GenuineIntel", 1, true, "", "coretemp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureTree tree;
        addFakeModprobe(tree, c.modprobeStatus);
        tree.addFile(u"cpuinfo"_qs, cpuinfo(c.vendor));
        tree.addFolder(u"etc"_qs);
        QStringList before;
        if (c.bootFolder) {
            tree.addFile(u"etc/modules-load.d/modules.conf"_qs, "# other\n");
            if (!c.earlier.isEmpty())
                tree.addFile(u"etc/modules-load.d/calidra.conf"_qs, c.earlier);
            before = entries(bootFolder(tree));
        }

        const ScriptResult run =
            runInNamespace(scriptPath(u"installAndRunSpeedItLaunchDaemon.sh"_qs),
                           {{tree.absolute(u"sbin"_qs), u"/usr/sbin"_qs},
                            {tree.absolute(u"cpuinfo"_qs), u"/proc/cpuinfo"_qs},
                            {tree.absolute(u"etc"_qs), u"/etc"_qs}});
        EXPECT_EQ(run.exitCode == 0, c.succeeds) << run.exitCode << ' ' << run.err.toStdString();
        EXPECT_EQ(readAll(calls(tree)), c.driver ? QByteArray(c.driver) + '\n' : QByteArray());

        const QByteArray boot = readAll(bootFolder(tree) + u"/calidra.conf"_qs);
        if (c.succeeds) {
            if (!before.contains(u"calidra.conf"_qs)) {
                before << u"calidra.conf"_qs;
                before.sort();
            }
            EXPECT_TRUE(boot.startsWith('#')) << boot.toStdString();
            EXPECT_TRUE(boot.endsWith("\n" + QByteArray(c.driver) + '\n')) << boot.toStdString();
            EXPECT_EQ(boot.count('\n'), 2) << boot.toStdString();
        } else {
            EXPECT_EQ(boot, c.earlier);
        }
        EXPECT_EQ(entries(bootFolder(tree)), before); // no temporary file left behind
        if (c.bootFolder) {
            EXPECT_EQ(readAll(bootFolder(tree) + u"/modules.conf"_qs), "# other\n");
        }
    }
}

// Uninstall: removes the boot file only, runs with its own folder gone.

TEST_F(ComponentScriptsTest, UninstallRemovesTheBootFileWithoutTheBundle)
{
    struct Case
    {
        const char* name;
        bool bootFolder;
        bool bootFile;
    };
    const Case cases[] = {
        {"BootFilePresent", true, true},
        {"BootFileAbsent", true, false},
        {"BootFolderAbsent", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureTree tree;
        addFakeModprobe(tree, 0);
        tree.addFolder(u"etc"_qs);
        if (c.bootFolder)
            tree.addFile(u"etc/modules-load.d/modules.conf"_qs, "# other\n");
        if (c.bootFile)
            tree.addFile(u"etc/modules-load.d/calidra.conf"_qs, "#\ncoretemp\n");
        const QString copy = tree.absolute(u"Calidra/Resources/Scripts/uninstall.sh"_qs);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(copy).path()));
        ASSERT_TRUE(QFile::copy(scriptPath(u"uninstallSpeedItLaunchDaemon.sh"_qs), copy));

        const ScriptResult run = runInNamespace(
            copy,
            {{tree.absolute(u"sbin"_qs), u"/usr/sbin"_qs}, {tree.absolute(u"etc"_qs), u"/etc"_qs}},
            true);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(copy)) << "the script ran from its own folder";
        EXPECT_EQ(entries(bootFolder(tree)),
                  c.bootFolder ? QStringList{u"modules.conf"_qs} : QStringList());
        EXPECT_EQ(readAll(calls(tree)), QByteArray()) << "the driver is left loaded";
    }
}

} // namespace
} // namespace calidra
