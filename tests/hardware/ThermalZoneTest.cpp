// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/ThermalZone.h"

#include "FixtureTree.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace calidra {
namespace {

// The zone found, "<type> (<folder>) <degrees>", or "none".
QString found(const FixtureTree& tree)
{
    const std::optional<ThermalZone> zone = ThermalZone::find(QFile::encodeName(tree.root()));
    const std::optional<qint32> millidegrees = zone ? zone->temp->read() : std::nullopt;
    return zone ? zone->description + u' ' +
                      QString::number(ThermalZone::celsius(millidegrees.value_or(0)))
                : u"none"_qs;
}

TEST(ThermalZoneTest, TypesThatNameTheProcessorRankInOrder)
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

// The best zone that reads, the lowest number among equals, acpitz only
// without a better one. Older kernels type the package zone "pkg-temp-0", and
// older Raspberry Pi kernels the SoC's "bcm2835_thermal": each is ranked for
// what it measures, not by its spelling.
TEST(ThermalZoneTest, TheBestReadableZoneIsChosen)
{
    // Machines whose zones are set one after the other, each followed by the
    // zone the search then finds.
    using Steps = std::vector<std::tuple<int, const char*, const char*, const char*>>;
    // clang-format off
    const Steps machines[] = {
        {{0, "acpitz", "40000", "acpitz (thermal_zone0) 40"},
         {3, "cpu1-thermal", "47000", "cpu1-thermal (thermal_zone3) 47"},
         {2, "cpu0-thermal", "46500", "cpu0-thermal (thermal_zone2) 46.5"},
         {5, "gpu-thermal", "90000", "cpu0-thermal (thermal_zone2) 46.5"},
         {7, "x86_pkg_temp", "55000", "x86_pkg_temp (thermal_zone7) 55"}},
        {{0, "acpitz", "57000", "acpitz (thermal_zone0) 57"},
         {1, "acpitz", "65000", "acpitz (thermal_zone0) 57"},
         {3, "pch_skylake", "46000", "acpitz (thermal_zone0) 57"},
         {5, "pkg-temp-0", "44000", "pkg-temp-0 (thermal_zone5) 44"},
         {6, "bcm2835_thermal", "42932", "pkg-temp-0 (thermal_zone5) 44"},
         {7, "B0D4", "61000", "pkg-temp-0 (thermal_zone5) 44"},
         {5, "pkg-temp-0", "0", "B0D4 (thermal_zone7) 61"}, // not measured yet
         {7, "B0D4", "", "bcm2835_thermal (thermal_zone6) 42.932"}},
    };
    // clang-format on
    for (const Steps& steps : machines) {
        FixtureTree tree;
        EXPECT_EQ(found(tree), u"none"_qs); // no thermal folder at all
        for (const auto& [number, type, temp, zone] : steps) {
            tree.addThermalZone(number, type, temp);
            EXPECT_EQ(found(tree), QString::fromUtf8(zone)) << number << ' ' << type << ' ' << temp;
        }
    }
}

// Every zone is ranked, however many there are and wherever the kernel lists
// the processor's: a search stops at its time, not at a count.
TEST(ThermalZoneTest, ThePackageZoneIsFoundAmongThousandsOfOthers)
{
    FixtureTree tree;
    constexpr int Zones = 1000;
    for (int number = 0; number < Zones - 1; ++number) {
        tree.addFile(u"sys/class/thermal/thermal_zone%1/type"_qs.arg(number), "iwlwifi_1\n");
    }
    tree.addThermalZone(Zones - 1, "x86_pkg_temp", "52000");
    EXPECT_EQ(found(tree), u"x86_pkg_temp (thermal_zone999) 52"_qs);

    // A search whose time is up looks at nothing more.
    EXPECT_FALSE(
        ThermalZone::find(QFile::encodeName(tree.root()), std::chrono::steady_clock::now()));
}

TEST(ThermalZoneTest, BadZonesArePassedOver)
{
    FixtureTree tree;
    // clang-format off
    const std::tuple<int, const char*, QByteArray> zones[] = {
        {0, "acpitz", "40000"}, {1, "x86_pkg_temp", "hot"}, {2, "cpu-thermal", "-40000"},
        {3, "cpu-thermal", "250000"}, // above any processor's temperature
        {12, "cpu-thermal", "200001"}, {13, "cpu-thermal", "2147483647"},
        {14, "cpu-thermal", "-2147483648"}, {15, "cpu-thermal", "9223372036854775807"},
        {4, "cpu-thermal", "0"}, {5, "cpu-thermal", ""}, {6, "cpu-thermal", QByteArray(8192, '4')},
    };
    // clang-format on
    for (const auto& [number, type, temp] : zones) {
        tree.addThermalZone(number, type, temp);
    }
    const QString zone = u"sys/class/thermal/thermal_zone%1"_qs;
    tree.addSymlink(zone.arg(7), tree.absolute(zone.arg(7))); // a loop
    tree.addSymlink(zone.arg(8), tree.absolute(u"gone"_qs));
    tree.addFile(zone.arg(9) + u"/type"_qs, "cpu-thermal\n");
    tree.addUnreadable(zone.arg(9) + u"/temp"_qs);
    tree.addFile(zone.arg(10) + u"/type"_qs, "cpu-thermal\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(tree.absolute(zone.arg(10) + u"/temp"_qs)), 0600), 0);
    tree.addFile(zone.arg(11) + u"/temp"_qs, "50000\n"); // no type
    tree.addFile(zone.arg(u"x"_qs) + u"/type"_qs, "cpu-thermal\n");
    tree.addFile(zone.arg(u"x"_qs) + u"/temp"_qs, "50000\n");
    EXPECT_EQ(found(tree), u"acpitz (thermal_zone0) 40"_qs);
}

} // namespace
} // namespace calidra
