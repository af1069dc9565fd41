// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/SearchReport.h"

#include "FixtureTree.h"
#include "LogRecorder.h"
#include "hardware/KernelValueQueries.h"
#include "hardware/KernelValues.h"

#include <gtest/gtest.h>

namespace calidra {
namespace {

// What a number of samples leave in the log: each queries both values, and
// neither is there on this machine, so each searches again.
QStringList sample(const QString& rules, int samples)
{
    const LogRecorder log(rules);
    for (int i = 0; i < samples; ++i) {
        querySysctlValueAsInt("kern.cpu_temp");
        querySysctlValueAsInt("kern.cpu_currentfreq");
    }
    return log.messages;
}

TEST(SearchReportTest, ASearchIsToldOnlyWhenAskedAndOnlyWhenWhatItFindsChanges)
{
    FixtureTree tree;
    const KernelValues values(tree.root());
    tree.addFile(u"sys/devices/system/cpu/online"_qs, "0\n");
    tree.addHwmon(0, "nvme", {{"Composite", "38850"}});
    EXPECT_EQ(sample({}, 3), QStringList());
    EXPECT_FALSE(SearchReport::isWanted());

    const QString on = u"calidra.*.debug=true"_qs;
    EXPECT_EQ(sample(on, 5),
              QStringList({u"calidra.hardware driver channels: hwmon0 nvme -> no channel of "
                           "coretemp, k10temp or zenpower"_qs,
                           u"calidra.hardware clock: cpu0 is the first online processor (by the "
                           "online list); nothing gives the clock"_qs}));
    EXPECT_EQ(sample(on, 5), QStringList());

    // The driver loaded later is found, told once, and then read without a search.
    tree.addHwmon(1, "k10temp", {{nullptr, "41000"}});
    EXPECT_EQ(sample(on, 5),
              QStringList(u"calidra.hardware driver channels: hwmon0 nvme; hwmon1 k10temp: temp1 "
                          "-> k10temp, temp1 (Tctl, as no Tdie is there)"_qs));
}

} // namespace
} // namespace calidra
