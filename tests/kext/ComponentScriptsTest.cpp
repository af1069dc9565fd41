// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <tuple>

namespace calidra {
namespace {

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
        if (!available) {
            GTEST_SKIP() << "binding fixtures needs root and a private mount namespace";
        }
    }
};

TEST_F(ComponentScriptsTest, StatPrintsOneOnlyWhileATemperatureDriverIsLoaded)
{
    // Folders under /sys/module, then names of hwmon devices behind class links (null: unreadable).
    using Case = std::tuple<const char*, QStringList, QByteArrayList, const char*>;
    const Case cases[] = {
        {"CoretempModule", {u"coretemp"_qs}, {}, "1\n"},
        {"K10tempHwmonAfterAnotherSensor", {}, {"acpitz\n", "k10temp\n"}, "1\n"},
        {"NameWithoutLineFeed", {}, {"zenpower"}, "1\n"},
        {"UnreadableNameBeforeDriver", {}, {QByteArray(), "coretemp\n"}, "1\n"},
        {"OnlyUnrelatedSensors", {u"nvme"_qs}, {"acpitz\n"}, "0\n"},
        {"NamesThatOnlyStartLikeADriver", {u"coretemp_old"_qs}, {"k10temp2\n"}, "0\n"},
        {"NoHwmonClass", {}, {}, "0\n"},
    };
    for (const auto& [name, modules, hwmonNames, out] : cases) {
        SCOPED_TRACE(name);
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
    using Case = std::tuple<const char*, QByteArray, int, bool, QByteArray>;
    const Case cases[] = {
        {"IntelLoadsCoretemp", "GenuineIntel", 0, true, "coretemp"},
        {"AmdLoadsK10tempAndCreatesTheBootFolder", "AuthenticAMD", 0, false, "k10temp"},
        {"UnknownVendorChangesNothing", "CentaurHauls", 0, true, ""},
        {"FailingModprobeWritesNoBootFile", "GenuineIntel", 1, true, "coretemp"},
    };
    for (const auto& [name, vendor, status, bootFolder, driver] : cases) {
        SCOPED_TRACE(name);
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

} // namespace
} // namespace calidra
