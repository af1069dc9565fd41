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

    std::optional<ThermalZone> find() const
    {
        return ThermalZone::find(QFile::encodeName(tree.root()));
    }

    // What the zone found reads now, in degrees.
    static std::optional<float> degrees(const ThermalZone& zone)
    {
        const std::optional<qint32> millidegrees = zone.temp->read();
        return millidegrees ? std::optional(ThermalZone::celsius(*millidegrees)) : std::nullopt;
    }

    FixtureTree tree;
};

TEST_F(ThermalZoneTest, TypesThatNameTheProcessorRankInOrder)
{
    // clang-format off
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"x86_pkg_temp", 0}, {"X86_PKG_TEMP", 0}, {"pkg-temp-0", 0}, {"pkg-temp-1", 0},
        {"TCPU", 1}, {"B0D4", 1}, {"b0d4", 1},
        {"cpu-thermal", 2}, {"cpu_thermal", 2}, {"CPU0-thermal", 2}, {"CPU-therm", 2},
        {"soc-thermal", 3}, {"SoC_Thermal", 3}, {"soc_dts0", 3}, {"bcm2835_thermal", 3},
        {"acpitz", 4},
        {"gpu-thermal", {}}, {"pch_skylake", {}}, {"iwlwifi_1", {}}, {"INT3400 Thermal", {}},
        {"B0D4x", {}}, {"TCPU_ORC", {}}, {"pkg-temp", {}}, {"bcm2835", {}}, {"", {}},
    };
    // clang-format on
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
    const std::optional<ThermalZone> zone = find();
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->description, u"cpu0-thermal (thermal_zone2)"_qs); // lowest number
    EXPECT_EQ(degrees(*zone), 46.5F);
    addZone(7, "x86_pkg_temp", "55000\n");
    EXPECT_EQ(find()->description, u"x86_pkg_temp (thermal_zone7)"_qs);
}

// Older kernels type the package zone "pkg-temp-0", and older Raspberry Pi
// kernels the SoC's "bcm2835_thermal": each is ranked for what it measures.
TEST_F(ThermalZoneTest, ZonesRankByWhatTheyMeasureNotBySpelling)
{
    addZone(0, "acpitz", "57000\n");
    addZone(1, "acpitz", "65000\n");
    addZone(3, "pch_skylake", "46000\n");
    addZone(5, "pkg-temp-0", "44000\n");
    EXPECT_EQ(find()->description, u"pkg-temp-0 (thermal_zone5)"_qs);
    addZone(6, "bcm2835_thermal", "42932\n");
    addZone(7, "B0D4", "61000\n");
    EXPECT_EQ(find()->description, u"pkg-temp-0 (thermal_zone5)"_qs);
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone5/temp"_qs, "0\n"); // not measured yet
    EXPECT_EQ(find()->description, u"B0D4 (thermal_zone7)"_qs);
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone7/temp"_qs, "");
    EXPECT_EQ(find()->description, u"bcm2835_thermal (thermal_zone6)"_qs);
}

// Every zone is ranked, however many there are and wherever the kernel lists
// the processor's: a search stops at its time, not at a count.
TEST_F(ThermalZoneTest, ThePackageZoneIsFoundAmongThousandsOfOthers)
{
    constexpr int Zones = 1000;
    for (int number = 0; number < Zones - 1; ++number) {
        tree.addFile(u"sys/class/thermal/thermal_zone%1/type"_qs.arg(number), "iwlwifi_1\n");
    }
    addZone(Zones - 1, "x86_pkg_temp", "52000\n");
    const std::optional<ThermalZone> zone = find();
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->description, u"x86_pkg_temp (thermal_zone999)"_qs);

    // A search whose time is up looks at nothing more.
    EXPECT_FALSE(
        ThermalZone::find(QFile::encodeName(tree.root()), std::chrono::steady_clock::now()));
}

TEST_F(ThermalZoneTest, BadZonesArePassedOver)
{
    addZone(0, "acpitz", "40000\n");
    addZone(1, "x86_pkg_temp", "hot\n");
    addZone(2, "cpu-thermal", "-40000\n");
    addZone(3, "cpu-thermal", "250000\n"); // above any processor's temperature
    addZone(12, "cpu-thermal", "200001\n");
    addZone(13, "cpu-thermal", "2147483647\n");
    addZone(14, "cpu-thermal", "-2147483648\n");
    addZone(15, "cpu-thermal", "9223372036854775807\n");
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
    const std::optional<ThermalZone> zone = find();
    ASSERT_TRUE(zone);
    EXPECT_EQ(zone->description, u"acpitz (thermal_zone0)"_qs);
    EXPECT_EQ(degrees(*zone), 40.0F);
}

} // namespace
} // namespace calidra
