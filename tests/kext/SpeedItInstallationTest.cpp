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

// A machine with x86 processors of one vendor, the shipped model list and
// install script, and a status script that notes that it ran.
struct Machine
{
    Machine(const QByteArray& vendor, const QByteArray& status)
    {
        tree.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\nvendor_id\t: " + vendor + '\n');
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

TEST(SpeedItInstallationTest, OnlyAListedMachineWithoutTheComponentOffersToInstallIt)
{
    const Alerts::Request installAlert{
        u"The processor's temperature driver needs to be loaded."_qs,
        u"In order to gauge temperature or frequency values on this computer, Calidra needs to "
        "load the processor's temperature driver, now and at every start of the computer. This "
        "requires an administrator's password, but only needs to be done once."_qs,
        {u"Proceed"_qs, u"Cancel and Quit"_qs},
        false};
    using Kind = PrivilegedLauncher::Outcome::Kind;
    // Vendor, status output, answer (null: no alert; empty: dismissed), how the install ends
    // (null: it does not run), whether it quits.
    using Case =
        std::tuple<const char*, QByteArray, QByteArray, const char16_t*, std::optional<Kind>, bool>;
    const Case cases[] = {
        {"UnlistedModelRunsAndAsksNothing", "CentaurHauls", "0", nullptr, {}, false},
        {"ComponentPresentAsksNothing", "GenuineIntel", "1", nullptr, {}, false},
        {"ProceedLoadsAndSuccessTellsNothing", "AuthenticAMD", "0", u"Proceed", Kind::Succeeded,
         false},
        {"ProceedLoadsAndRefusalIsTold", "GenuineIntel", "0", u"Proceed", Kind::NotAuthorized,
         false},
        {"NoStatusCancelAndQuitTerminates", "GenuineIntel", "", u"Cancel and Quit", {}, true},
        {"DismissedAlertTerminates", "GenuineIntel", "0", u"", {}, true},
    };
    for (const auto& [name, vendor, status, answer, ending, quits] : cases) {
        SCOPED_TRACE(name);
        Machine machine(vendor, status);
        if (answer) {
            machine.alerts.expect(installAlert, QString::fromUtf16(answer));
        }
        initializeSpeedIt();
        EXPECT_EQ(machine.statusRan(), vendor != "CentaurHauls");
        ASSERT_EQ(machine.launcher.launches.size(), ending ? 1 : 0);
        EXPECT_EQ(machine.termination.isTerminationRequested(), quits);
        if (ending) {
            if (const std::optional<Alerts::Request> told = driverLoadFailureAlert({*ending, {}})) {
                machine.alerts.expect(*told, u"OK"_qs);
            }
            machine.launcher.finish(0, {*ending, {}});
        }
    }
}

} // namespace
} // namespace calidra
