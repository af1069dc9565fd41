// SPDX-License-Identifier: GPL-3.0-or-later
#include "kext/DriverLoadAlerts.h"

#include "FixtureTree.h"
#include "QtPrinters.h"
#include "ScriptedAlerts.h"
#include "hardware/IORegistry.h"

#include <gtest/gtest.h>

#include <tuple>

namespace calidra {
namespace {

using Kind = PrivilegedLauncher::Outcome::Kind;

TEST(DriverLoadAlertsTest, EachFailureSaysWhatFailedAndGivesThisMachinesCommand)
{
    // Vendor, outcome, standard error, the informative text (null: no alert).
    using Case = std::tuple<const char*, QByteArray, Kind, QByteArray, const char16_t*>;
    const Case cases[] = {
        {"Succeeded", "GenuineIntel", Kind::Succeeded, "", nullptr},
        {"Dismissed", "HygonGenuine", Kind::Dismissed, "",
         u"The password dialog was closed without a password. Calidra offers to load the driver "
         "again at its next start; you can also load it yourself in a terminal:\n\nsudo "
         "modprobe k10temp"},
        {"NotAuthorizedOnAnUnknownVendor", "CentaurHauls", Kind::NotAuthorized, "",
         u"The password was not accepted, or this user may not act as an administrator. An "
         "administrator can load the driver in a terminal:\n\nsudo modprobe coretemp    (Intel "
         "processors)\nsudo modprobe k10temp    (AMD processors)"},
        {"FailedNamesTheLastErrorLine", "GenuineIntel", Kind::Failed,
         "first\nmodprobe: FATAL: Module coretemp not found\n\n",
         u"The script that loads the driver failed. Load the driver yourself in a terminal to "
         "see why:\n\nsudo modprobe coretemp\n\nmodprobe: FATAL: Module coretemp not found"},
        {"FailedSilently", "GenuineIntel", Kind::Failed, " \n",
         u"The script that loads the driver failed. Load the driver yourself in a terminal to "
         "see why:\n\nsudo modprobe coretemp"},
    };
    for (const auto& [name, vendor, kind, standardError, informative] : cases) {
        SCOPED_TRACE(name);
        FixtureTree tree;
        tree.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\nvendor_id\t: " + vendor + '\n');
        tree.addFolder(u"sys/devices"_qs);
        const IORegistry registry{tree.root()};
        ScriptedAlerts alerts;
        if (informative) {
            alerts.expect({u"The processor's temperature driver was not loaded."_qs,
                           QString::fromUtf16(informative),
                           {u"OK"_qs},
                           false},
                          u"OK"_qs);
        }
        tellDriverLoadOutcome({kind, standardError});
    }
}

} // namespace
} // namespace calidra
