// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/Gauge.h"

#include "GaugeTestBase.h"
#include "measurement/IntelCPUFrequencyGauge.h"
#include "measurement/IntelCPUTemperatureGauge.h"
#include "measurement/IntelModels.h"
#include "measurement/ThermalZoneGauge.h"

#include <tuple>

namespace calidra {
namespace {

const QString Frequency = u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs;

class GaugeTest : public GaugeTestBase
{
protected:
    GaugeTest() { useShippedResources(); }

    void addDriver(const QByteArray& temp)
    {
        tree.addHwmon(0, "coretemp", {{"Package id 0", temp}});
    }

    // An unlinked fixture file still reads until emptied, as a removed zone's fails.
    void removeZone(const QByteArray& type)
    {
        tree.addThermalZone(0, type, "");
        tree.remove(FixtureTree::thermalZone(0));
    }

    using Outcome = std::tuple<float, std::optional<QString>, QString>;
    static Outcome outcome(Gauge& gauge)
    {
        const float reading = gauge.gauge();
        return {reading, gauge.sensorInUse(),
                gauge.hasSource() ? QString() : gauge.noReadingReason()};
    }
};

TEST(IntelModelsTest, AModelIsListedOnlyWhenAListedStringEqualsIt)
{
    ASSERT_FALSE(Bundle::mainBundle());
    EXPECT_FALSE(IntelModels::isIntelModel(u"GenuineIntel"_qs)) << "no bundle";
    FixtureBundle bundle;
    EXPECT_FALSE(IntelModels::isIntelModel(u"GenuineIntel"_qs)) << "no list";
    const QByteArray listed =
        FixtureBundle::xml("<array><string>GenuineIntel</string><integer>5</integer></array>");
    // clang-format off
    const std::tuple<const char*, QByteArray, std::optional<QString>, bool> rows[] = {
        {"Listed", listed, u"GenuineIntel"_qs, true}, {"Unlisted", listed, u"Genuine"_qs, false},
        {"DiffersInCase", listed, u"genuineintel"_qs, false}, {"OnlyANumberMatches", listed, u"5"_qs, false},
        {"AbsentModel", listed, std::nullopt, false},
        {"DictionaryRoot", FixtureBundle::xml("<dict><key>GenuineIntel</key><string>GenuineIntel</string></dict>"),
         u"GenuineIntel"_qs, false},
    };
    // clang-format on
    for (const auto& [test, list, model, expected] : rows) {
        bundle.addResource(u"IntelModels.plist"_qs, list);
        EXPECT_EQ(IntelModels::isIntelModel(model), expected) << test;
    }
}

// Hygon's processors are driven by k10temp like AMD's, and listed with them.
TEST_F(GaugeTest, ListedProcessorsGetTheDriverGaugesAndSayWhichDriverIsMissing)
{
    for (const QByteArray vendor : {"AuthenticAMD", "HygonGenuine"}) {
        SCOPED_TRACE(vendor.toStdString());
        setProcessor(vendor);
        registry.cacheMachineModel(QString::fromLatin1(vendor));
        const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
        ASSERT_TRUE(std::dynamic_pointer_cast<IntelCPUTemperatureGauge>(temperature));
        EXPECT_TRUE(std::dynamic_pointer_cast<IntelCPUFrequencyGauge>(Gauge::CPUFrequencyGauge()));
        EXPECT_EQ(outcome(*temperature),
                  Outcome(0.0F, std::nullopt,
                          u"The processor temperature driver (k10temp) is not loaded."_qs));
        tree.addHwmon(0, "k10temp", {{"Tctl", "41250"}});
        tree.addFile(Frequency, "2000000\n");
        EXPECT_EQ(outcome(*Gauge::CPUTemperatureGauge()), Outcome(41.0F, u"k10temp, Tctl"_qs, {}));
        EXPECT_EQ(Gauge::CPUFrequencyGauge()->gauge(), 2000.0F);
        tree.remove(u"sys/class/hwmon"_qs);
    }
}

// A driver channel that reads what no processor can be is no reading: the zone
// stands in as for a driver that gives nothing, and without one the gauge
// reads nothing.
TEST_F(GaugeTest, ImplausibleDriverReadingsAreNoReading)
{
    setProcessor("GenuineIntel");
    for (const QByteArray temp : {"2147483647", "250000", "-1500", "0"}) {
        SCOPED_TRACE(temp.toStdString());
        addDriver(temp);
        IntelCPUTemperatureGauge gauge(u"GenuineIntel"_qs);
        EXPECT_EQ(outcome(gauge),
                  Outcome(0.0F, std::nullopt, u"The sensor (coretemp) gives no reading."_qs));
        tree.addThermalZone(0, "x86_pkg_temp", "45500");
        EXPECT_EQ(outcome(gauge), Outcome(45.5F, u"x86_pkg_temp (thermal_zone0)"_qs, {}));
        removeZone("x86_pkg_temp");
    }
}

TEST_F(GaugeTest, ModelsOnNoListGetTheProcessorsThermalZoneElseNoGauge)
{
    setBoardModel("Some Board Rev 2");
    tree.addThermalZone(0, "gpu-thermal", "50000");
    EXPECT_FALSE(Gauge::CPUTemperatureGauge());
    EXPECT_FALSE(Gauge::CPUFrequencyGauge());

    tree.addThermalZone(0, "soc_thermal", "43125");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(std::dynamic_pointer_cast<ThermalZoneGauge>(temperature));
    EXPECT_EQ(outcome(*temperature), Outcome(43.125F, u"soc_thermal (thermal_zone0)"_qs, {}));
    // A zone that goes away is named in the reason; one that comes back is found again.
    removeZone("soc_thermal");
    EXPECT_EQ(outcome(*temperature),
              Outcome(0.0F, std::nullopt,
                      u"The sensor (soc_thermal (thermal_zone0)) gives no reading."_qs));
    tree.addThermalZone(0, "soc_thermal", "44000");
    EXPECT_EQ(std::get<0>(outcome(*temperature)), 44.0F);
}

TEST_F(GaugeTest, ListedProcessorsReadTheDriverElseTheZone)
{
    setProcessor("GenuineIntel");
    IntelCPUTemperatureGauge gauge(u"GenuineIntel"_qs);
    EXPECT_EQ(outcome(gauge),
              Outcome(0.0F, std::nullopt,
                      u"The processor temperature driver (coretemp) is not loaded."_qs));
    tree.addThermalZone(0, "x86_pkg_temp", "45500");
    EXPECT_EQ(outcome(gauge), Outcome(45.5F, u"x86_pkg_temp (thermal_zone0)"_qs, {}));

    // A driver loaded later takes over at the next look for it, not at every sample.
    addDriver("57000");
    for (int sample = 1; sample < IntelCPUTemperatureGauge::DriverRetrySamples; ++sample) {
        ASSERT_EQ(gauge.gauge(), 45.5F) << sample;
    }
    EXPECT_EQ(outcome(gauge), Outcome(57.0F, u"coretemp, Package id 0"_qs, {}));

    // Loaded without a reading, and nothing to stand in.
    removeZone("x86_pkg_temp");
    tree.addFile(u"sys/class/hwmon/hwmon0/temp1_input"_qs, "garbage\n");
    EXPECT_EQ(outcome(gauge),
              Outcome(0.0F, std::nullopt, u"The sensor (coretemp) gives no reading."_qs));
    EXPECT_EQ(IntelCPUTemperatureGauge(u"SomeOtherVendor"_qs).noReadingReason(),
              u"This machine has no known temperature sensor."_qs);
}

} // namespace
} // namespace calidra
