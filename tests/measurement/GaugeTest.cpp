#include "measurement/Gauge.h"

#include "GaugeTestBase.h"
#include "measurement/IntelCPUFrequencyGauge.h"
#include "measurement/IntelCPUTemperatureGauge.h"
#include "measurement/PPCCPUTemperatureGauge.h"

namespace calidra {
namespace {

class GaugeTest : public GaugeTestBase
{
protected:
    GaugeTest() // links the shipped data files into the bundle
    {
        for (const QString& name : {u"IntelModels.plist"_qs, u"PPCSensors.plist"_qs}) {
            bundle.tree.addSymlink(u"Calidra/Resources/"_qs + name,
                                   QString::fromUtf8(CALIDRA_SHIPPED_RESOURCES) + u'/' + name);
        }
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

TEST_F(GaugeTest, TableModelsGetTheSensorTableGaugeAndNoFrequencyGauge)
{
    setBoardModel("Raspberry Pi 4 Model B Rev 1.4"); // its shipped row reads cpu-thermal
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone0/type"_qs, "gpu-thermal\n");
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone1/type"_qs, "cpu-thermal\n");
    tree.addFile(u"sys/devices/virtual/thermal/thermal_zone1/temp"_qs, "48250\n");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(std::dynamic_pointer_cast<PPCCPUTemperatureGauge>(temperature));
    EXPECT_FLOAT_EQ(temperature->gauge(), 48.25F);
    EXPECT_FALSE(Gauge::CPUFrequencyGauge());
}

TEST_F(GaugeTest, ModelsOnNoListGetNoGauge)
{
    setBoardModel("Some Board Rev 2");
    EXPECT_FALSE(Gauge::CPUTemperatureGauge());
    EXPECT_FALSE(Gauge::CPUFrequencyGauge());
}

} // namespace
} // namespace calidra
