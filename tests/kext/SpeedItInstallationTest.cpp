// SPDX-License-Identifier: GPL-3.0-or-later
#include "kext/SpeedItInstallation.h"

#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "RecordingLauncher.h"
#include "ScriptedAlerts.h"
#include "hardware/IORegistry.h"
#include "kext/DriverLoadAlerts.h"
#include "platform/ApplicationTermination.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace calidra {
namespace {

QByteArray cpuinfo(const QByteArray& vendor, int family, const QByteArray& flags)
{
    return FixtureTree::cpuinfo(vendor, QByteArray::number(family), "fpu vme " + flags);
}

// A machine with an x86 processor, a kernel whose release is 6.1.0-18-amd64
// with the modules `modules` (file names in kernel/drivers/hwmon), the shipped
// model list and install script, and a status script that notes that it ran.
struct Machine
{
    Machine(const QByteArray& processor, const QByteArray& status, const QStringList& modules)
    {
        tree.addFile(u"proc/cpuinfo"_qs, processor);
        tree.addFile(u"proc/sys/kernel/osrelease"_qs, "6.1.0-18-amd64\n");
        for (const QString& module : modules)
            tree.addFile(u"lib/modules/6.1.0-18-amd64/kernel/drivers/hwmon/"_qs + module, "");
        tree.addFolder(u"sys/devices"_qs);
        bundle.addResource(u"IntelModels.plist"_qs, shippedFile("IntelModels.plist"));
        bundle.addResource(u"Scripts/installAndRunSpeedItLaunchDaemon.sh"_qs,
                           shippedFile("Scripts/installAndRunSpeedItLaunchDaemon.sh"));
        bundle.addResource(u"Scripts/statSpeedIt.sh"_qs,
                           ": >\"${0%/*}/ran\"; echo '" + status + "'");
    }

    bool statusRan() const
    {
        return QFileInfo::exists(bundle.bundle.resourcePath() + u"/Scripts/ran"_qs);
    }

    // Built in this order and torn down in reverse: each member uses the ones
    // above it, and the process-wide ones stay current until those below are gone.
    FixtureTree tree;
    IORegistry registry{tree.root()};
    FixtureBundle bundle;
    RecordingLauncher launcher;
    ScriptedAlerts alerts;
    ApplicationTermination termination;
};

TEST(SpeedItInstallationTest, OnlyAMachineWhereLoadingCanSucceedIsOfferedTheDriver)
{
    const Alerts::Request installAlert{
        u"The processor's temperature driver needs to be loaded."_qs,
        u"In order to gauge temperature or frequency values on this computer, Calidra needs to "
        "load the processor's temperature driver, now and at every start of the computer. This "
        "requires an administrator's password, but only needs to be done once."_qs,
        {u"Proceed"_qs, u"Cancel and Quit"_qs},
        false};
    using Kind = PrivilegedLauncher::Outcome::Kind;
    const QByteArray intel = cpuinfo("GenuineIntel", 6, "dtherm ida arat");
    const QByteArray zen = cpuinfo("AuthenticAMD", 25, "svm extapic");
    // Processor, status output, modules, answer (null: no alert; empty: dismissed), how the
    // install ends (null: it does not run), whether it quits.
    using Case = std::tuple<const char*, QByteArray, QByteArray, QStringList, const char16_t*,
                            std::optional<Kind>, bool>;
    const QStringList both = {u"coretemp.ko"_qs, u"k10temp.ko.xz"_qs};
    // clang-format off
    const Case cases[] = {
        {"UnlistedModelRunsAndAsksNothing", cpuinfo("CentaurHauls", 6, "dtherm"), "0", both, nullptr, {}, false},
        {"ComponentPresentAsksNothing", intel, "1", both, nullptr, {}, false},
        {"VirtualMachineAsksNothing", cpuinfo("GenuineIntel", 6, "dtherm hypervisor"), "0", both, nullptr, {},
         false},
        {"KernelWithoutTheModuleAsksNothing", zen, "0", {u"coretemp.ko"_qs}, nullptr, {}, false},
        {"UnsupportedFamilyAsksNothing", cpuinfo("AuthenticAMD", 15, "svm"), "0", both, nullptr, {}, false},
        {"ProceedLoadsAndSuccessTellsNothing", zen, "0", both, u"Proceed", Kind::Succeeded, false},
        {"ProceedLoadsAndRefusalIsTold", intel, "0", both, u"Proceed", Kind::NotAuthorized, false},
        {"NoStatusCancelAndQuitTerminates", intel, "", both, u"Cancel and Quit", {}, true},
        {"DismissedAlertTerminates", intel, "0", both, u"", {}, true},
    };
    // clang-format on
    for (const auto& [name, processor, status, modules, answer, ending, quits] : cases) {
        SCOPED_TRACE(name);
        Machine machine(processor, status, modules);
        if (answer)
            machine.alerts.expect(installAlert, QString::fromUtf16(answer));
        initializeSpeedIt();
        EXPECT_EQ(machine.statusRan(), !processor.contains("CentaurHauls"));
        ASSERT_EQ(machine.launcher.launches.size(), ending ? 1 : 0);
        EXPECT_EQ(machine.termination.isTerminationRequested(), quits);
        if (ending) {
            if (const std::optional<Alerts::Request> told = driverLoadFailureAlert({*ending, {}}))
                machine.alerts.expect(*told, u"OK"_qs);
            machine.launcher.finish(0, {*ending, {}});
        }
    }
}

} // namespace
} // namespace calidra
