// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/ThermalZone.h"

#include "FixtureTree.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <utility>
#include <vector>

namespace calidra {
namespace {

// Zones as the kernel lays them out: class entries linking to device folders.
class ThermalZoneTest : public testing::Test
{
protected:
    void addZone(int number, const QByteArray& type, const QByteArray& temp)
    {
        const QString device = u"sys/devices/virtual/thermal/thermal_zone%1"_qs.arg(number);
        tree.addFile(device + u"/type"_qs, type + '\n');
        tree.addFile(device + u"/temp"_qs, temp);
        tree.addSymlink(u"sys/class/thermal/thermal_zone%1"_qs.arg(number), tree.absolute(device));
    }

    std::unique_ptr<ThermalZone> find() const
    {
        return ThermalZone::find(QFile::encodeName(tree.root()));
    }

    FixtureTree tree;
};

TEST_F(ThermalZoneTest, TypesThatNameTheProcessorRankInOrder)
{
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"x86_pkg_temp", 0}, {"X86_PKG_TEMP", 0}, {"cpu-thermal", 1}, {"cpu_thermal", 1},
        {"CPU0-thermal", 1}, {"soc-thermal", 2},  {"SoC_Thermal", 2}, {"acpitz", 3},
        {"gpu-thermal", {}}, {"pch_skylake", {}}, {"iwlwifi_1", {}},  {"", {}},
    };
    for (const auto& [type, rank] : rows) {
        EXPECT_EQ(ThermalZone::rank(type), rank) << type;
    }
}

TEST_F(ThermalZoneTest, TheBestReadableZoneIsChosenAcpitzOnlyWithoutABetterOne)
{
    EXPECT_FALSE(find()); // no thermal folder at all
    addZone(0, "acpitz", "40000\n");
    addZone(3, "cpu1-thermal", "47000\n");
    addZone(2, "cpu0-thermal", "46500\n");
    addZone(5, "gpu-thermal", "90000\n");
    std::unique_ptr<ThermalZone> zone = find();
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->description(), u"cpu0-thermal (thermal_zone2)"_qs); // lowest number
    EXPECT_EQ(zone->degrees(), 46.5F);
    addZone(7, "x86_pkg_temp", "55000\n");
    EXPECT_EQ(find()->description(), u"x86_pkg_temp (thermal_zone7)"_qs);

    // The kept file is read again at each reading; a value that goes bad is no reading.
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone2/temp"_qs, "-5000\n");
    EXPECT_EQ(zone->degrees(), std::nullopt);
}

TEST_F(ThermalZoneTest, BadZonesArePassedOver)
{
    addZone(0, "acpitz", "40000\n");
    addZone(1, "x86_pkg_temp", "hot\n");
    addZone(2, "cpu-thermal", "-40000\n");
    addZone(3, "cpu-thermal", "250000\n"); // above any processor's temperature
    addZone(4, "cpu-thermal", "0\n");
    addZone(5, "cpu-thermal", "");
    addZone(6, "cpu-thermal", QByteArray(8192, '4'));
    tree.addSymlink(u"sys/class/thermal/thermal_zone7"_qs,
                    tree.absolute(u"sys/class/thermal/thermal_zone7"_qs)); // a loop
    tree.addSymlink(u"sys/class/thermal/thermal_zone8"_qs, tree.absolute(u"gone"_qs));
    tree.addFile(u"sys/class/thermal/thermal_zone9/type"_qs, "cpu-thermal\n");
    tree.addUnreadable(u"sys/class/thermal/thermal_zone9/temp"_qs);
    tree.addFile(u"sys/class/thermal/thermal_zone10/type"_qs, "cpu-thermal\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree.absolute(u"sys/class/thermal/thermal_zone10/temp"_qs))
                           .constData(),
                       0600),
              0);
    tree.addFile(u"sys/class/thermal/thermal_zone11/temp"_qs, "50000\n"); // no type
    tree.addFile(u"sys/class/thermal/thermal_zonex/type"_qs, "cpu-thermal\n");
    tree.addFile(u"sys/class/thermal/thermal_zonex/temp"_qs, "50000\n");
    std::unique_ptr<ThermalZone> zone = find();
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->description(), u"acpitz (thermal_zone0)"_qs);
    EXPECT_EQ(zone->degrees(), 40.0F);
}

} // namespace
} // namespace calidra
