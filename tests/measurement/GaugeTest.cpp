// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/Gauge.h"

#include "GaugeTestBase.h"
#include "LogRecorder.h"
#include "measurement/IntelCPUFrequencyGauge.h"
#include "measurement/IntelCPUTemperatureGauge.h"
#include "measurement/PPCCPUTemperatureGauge.h"
#include "measurement/ThermalZoneGauge.h"

#include <tuple>

namespace calidra {
namespace {

const QString Zone = u"sys/class/thermal/thermal_zone0/"_qs;
const QString Package = u"sys/class/hwmon/hwmon0/"_qs;

class GaugeTest : public GaugeTestBase
{
protected:
    GaugeTest() { useShippedResources(); }

    void addZone(const QByteArray& type, const QByteArray& temp)
    {
        tree.addFile(Zone + u"type"_qs, type + '\n');
        tree.addFile(Zone + u"temp"_qs, temp + '\n');
    }

    void addDriver(const QByteArray& temp)
    {
        tree.addFile(Package + u"name"_qs, "coretemp\n");
        tree.addFile(Package + u"temp1_label"_qs, "Package id 0\n");
        tree.addFile(Package + u"temp1_input"_qs, temp + '\n');
    }

    // What a gauge reads, what it names as its sensor, and why it reads nothing.
    using Outcome = std::tuple<float, std::optional<QString>, QString>;
    static Outcome outcome(Gauge& gauge)
    {
        const float reading = gauge.gauge();
        return {reading, gauge.sensorInUse(),
                gauge.hasSource() ? QString() : gauge.noReadingReason()};
    }
};

TEST_F(GaugeTest, IntelGaugesReadTheKernelValuesOrZeroWithoutThem)
{
    setProcessor("GenuineIntel");
    EXPECT_EQ(IntelCPUTemperatureGauge(std::nullopt).gauge(), 0.0F);
    EXPECT_EQ(IntelCPUFrequencyGauge(std::nullopt).gauge(), 0.0F);
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
    tree.addFile(u"sys/class/hwmon/hwmon0/temp1_label"_qs, "Package id 0\n");
    tree.addFile(u"sys/class/hwmon/hwmon0/temp1_input"_qs, "57000\n");
    tree.addFile(u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs, "2333000\n");
    EXPECT_EQ(IntelCPUTemperatureGauge(std::nullopt).gauge(), 57.0F);
    EXPECT_EQ(IntelCPUFrequencyGauge(std::nullopt).gauge(), 2333.0F); // one of four, unscaled
}

TEST_F(GaugeTest, ListedProcessorsGetTheKernelValueGauges)
{
    setProcessor("AuthenticAMD");
    EXPECT_TRUE(std::dynamic_pointer_cast<IntelCPUTemperatureGauge>(Gauge::CPUTemperatureGauge()));
    EXPECT_TRUE(std::dynamic_pointer_cast<IntelCPUFrequencyGauge>(Gauge::CPUFrequencyGauge()));
}

// Hygon's processors are driven by k10temp like AMD's, and listed with them.
TEST_F(GaugeTest, HygonProcessorsGetTheDriverGauges)
{
    setProcessor("HygonGenuine");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(std::dynamic_pointer_cast<IntelCPUTemperatureGauge>(temperature));
    EXPECT_EQ(outcome(*temperature),
              Outcome(0.0F, std::nullopt,
                      u"The processor temperature driver (k10temp) is not loaded."_qs));
    tree.addFile(Package + u"name"_qs, "k10temp\n");
    tree.addFile(Package + u"temp1_label"_qs, "Tctl\n");
    tree.addFile(Package + u"temp1_input"_qs, "41250\n");
    tree.addFile(u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs, "2000000\n");
    EXPECT_EQ(outcome(*Gauge::CPUTemperatureGauge()), Outcome(41.0F, u"k10temp, Tctl"_qs, {}));
    ASSERT_TRUE(Gauge::CPUFrequencyGauge());
    EXPECT_EQ(Gauge::CPUFrequencyGauge()->gauge(), 2000.0F);
}

// A driver channel that reads what no processor can be is no reading: the zone
// stands in as for a driver that gives nothing, and without one the gauge
// reads nothing.
TEST_F(GaugeTest, ImplausibleDriverReadingsAreNoReading)
{
    setProcessor("GenuineIntel");
    for (const QByteArray& temp :
         {QByteArray("2147483647"), QByteArray("250000"), QByteArray("-1500"), QByteArray("0")}) {
        SCOPED_TRACE(temp.toStdString());
        addDriver(temp);
        IntelCPUTemperatureGauge gauge(u"GenuineIntel"_qs);
        EXPECT_EQ(outcome(gauge),
                  Outcome(0.0F, std::nullopt, u"The sensor (coretemp) gives no reading."_qs));
        addZone("x86_pkg_temp", "45500");
        EXPECT_EQ(outcome(gauge), Outcome(45.5F, u"x86_pkg_temp (thermal_zone0)"_qs, {}));
        tree.remove(Zone);
    }
}

TEST_F(GaugeTest, TableModelsGetTheSensorTableGaugeAndNoFrequencyGauge)
{
    setBoardModel("Raspberry Pi 4 Model B Rev 1.4"); // its shipped row reads cpu-thermal
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone0/type"_qs, "gpu-thermal\n");
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone1/type"_qs, "cpu-thermal\n");
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone1/temp"_qs, "48250\n");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(std::dynamic_pointer_cast<PPCCPUTemperatureGauge>(temperature));
    EXPECT_FLOAT_EQ(temperature->gauge(), 48.25F);
    EXPECT_EQ(temperature->sensorInUse(), u"sensor table, Raspberry Pi 4 Model B Rev 1.4"_qs);
    EXPECT_FALSE(Gauge::CPUFrequencyGauge());
}

TEST_F(GaugeTest, ModelsOnNoListGetTheProcessorsThermalZoneElseNoGauge)
{
    setBoardModel("Some Board Rev 2");
    addZone("gpu-thermal", "50000");
    EXPECT_FALSE(Gauge::CPUTemperatureGauge());
    EXPECT_FALSE(Gauge::CPUFrequencyGauge());

    addZone("soc_thermal", "43125");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(std::dynamic_pointer_cast<ThermalZoneGauge>(temperature));
    EXPECT_EQ(outcome(*temperature), Outcome(43.125F, u"soc_thermal (thermal_zone0)"_qs, {}));
    // A zone that goes away is named in the reason; one that comes back is found again.
    // (A removed zone's kept file fails with ENODEV, an unlinked fixture file once empty.)
    tree.addFile(Zone + u"temp"_qs, "");
    tree.remove(Zone);
    EXPECT_EQ(outcome(*temperature),
              Outcome(0.0F, std::nullopt,
                      u"The sensor (soc_thermal (thermal_zone0)) gives no reading."_qs));
    addZone("soc_thermal", "44000");
    EXPECT_EQ(std::get<0>(outcome(*temperature)), 44.0F);
}

TEST_F(GaugeTest, ListedProcessorsReadTheDriverElseTheZoneAndSayWhichDriverIsMissing)
{
    setProcessor("GenuineIntel");
    IntelCPUTemperatureGauge gauge(u"GenuineIntel"_qs);
    EXPECT_EQ(outcome(gauge),
              Outcome(0.0F, std::nullopt,
                      u"The processor temperature driver (coretemp) is not loaded."_qs));
    addZone("x86_pkg_temp", "45500");
    EXPECT_EQ(outcome(gauge), Outcome(45.5F, u"x86_pkg_temp (thermal_zone0)"_qs, {}));

    // A driver loaded later takes over at the next look for it, not at every sample.
    addDriver("57000");
    for (int sample = 1; sample < IntelCPUTemperatureGauge::DriverRetrySamples; ++sample) {
        ASSERT_EQ(gauge.gauge(), 45.5F) << sample;
    }
    EXPECT_EQ(outcome(gauge), Outcome(57.0F, u"coretemp, Package id 0"_qs, {}));

    // Loaded without a reading, and nothing to stand in.
    tree.addFile(Zone + u"temp"_qs, "");
    tree.remove(Zone);
    tree.addFile(Package + u"temp1_input"_qs, "garbage\n");
    EXPECT_EQ(outcome(gauge),
              Outcome(0.0F, std::nullopt, u"The sensor (coretemp) gives no reading."_qs));
    EXPECT_EQ(IntelCPUTemperatureGauge(u"SomeOtherVendor"_qs).noReadingReason(),
              u"This machine has no known temperature sensor."_qs);
}

// A zone that reads nothing is searched for at every sample; the log tells
// the search once, and again only when what it finds changes.
TEST_F(GaugeTest, ZoneSearchesAreLoggedOncePerChange)
{
    addZone("cpu-thermal", "0");
    ThermalZoneGauge gauge(QFile::encodeName(tree.root()));
    const LogRecorder log(u"calidra.hardware.debug=true"_qs);
    for (int sample = 0; sample < 5; ++sample) {
        gauge.gauge();
    }
    addZone("cpu-thermal", "48000");
    for (int sample = 0; sample < 5; ++sample) {
        gauge.gauge();
    }
    const QString seen = u"calidra.hardware thermal zones: thermal_zone0 cpu-thermal (rank 2)"_qs;
    EXPECT_EQ(log.messages,
              QStringList({seen + u"; thermal_zone0 gives no plausible reading -> none"_qs,
                           seen + u" -> cpu-thermal (thermal_zone0)"_qs}));
}

} // namespace
} // namespace calidra
