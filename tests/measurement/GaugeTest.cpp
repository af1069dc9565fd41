#include "measurement/Gauge.h"

#include "GaugeTestBase.h"
#include "measurement/IntelCPUFrequencyGauge.h"
#include "measurement/IntelCPUTemperatureGauge.h"
#include "measurement/PPCCPUTemperatureGauge.h"

#include <QFile>

namespace calidra {
namespace {

const QByteArray Board = "Raspberry Pi 4 Model B Rev 1.4";

class GaugeTest : public GaugeTestBase
{
protected:
    void shipResource(const QString& fileName)
    {
        QFile file(QString::fromUtf8(CALIDRA_SHIPPED_RESOURCES) + u'/' + fileName);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        bundle.addResource(fileName, file.readAll());
    }

    void shipResources()
    {
        shipResource(u"IntelModels.plist"_qs);
        shipResource(u"PPCSensors.plist"_qs);
    }

    void addCpuThermalZone(const QByteArray& millidegrees)
    {
        tree.addFile(u"sys/devices/virtual/thermal/thermal_zone0/type"_qs, "gpu-thermal\n");
        tree.addFile(u"sys/devices/virtual/thermal/thermal_zone1/type"_qs, "cpu-thermal\n");
        tree.addFile(u"sys/devices/virtual/thermal/thermal_zone1/temp"_qs, millidegrees + '\n');
    }
};

TEST_F(GaugeTest, IntelGaugesReadTheKernelValuesAsTheyAre)
{
    setProcessor("GenuineIntel", "57000", "2333000");
    EXPECT_EQ(IntelCPUTemperatureGauge(u"GenuineIntel"_qs).gauge(), 57.0F);
    // Four processors: the value is the clock of one, and is not scaled.
    EXPECT_EQ(IntelCPUFrequencyGauge(u"GenuineIntel"_qs).gauge(), 2333.0F);
}

TEST_F(GaugeTest, IntelGaugesGiveZeroWithoutKernelValues)
{
    setProcessor("GenuineIntel", "", "");
    EXPECT_EQ(IntelCPUTemperatureGauge(std::nullopt).gauge(), 0.0F);
    EXPECT_EQ(IntelCPUFrequencyGauge(std::nullopt).gauge(), 0.0F);
}

TEST_F(GaugeTest, ListedModelsGetTheKernelValueGauges)
{
    shipResources();
    setProcessor("AuthenticAMD", "57000", "2333000");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    const std::shared_ptr<Gauge> frequency = Gauge::CPUFrequencyGauge();
    EXPECT_TRUE(std::dynamic_pointer_cast<IntelCPUTemperatureGauge>(temperature));
    EXPECT_TRUE(std::dynamic_pointer_cast<IntelCPUFrequencyGauge>(frequency));
}

TEST_F(GaugeTest, TableModelsGetTheSensorTableGaugeAndNoFrequency)
{
    shipResources();
    setBoardModel(Board);
    addCpuThermalZone("48250");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(std::dynamic_pointer_cast<PPCCPUTemperatureGauge>(temperature));
    EXPECT_FLOAT_EQ(temperature->gauge(), 48.25F);
    EXPECT_FALSE(Gauge::CPUFrequencyGauge());
}

TEST_F(GaugeTest, OtherMachinesGetNoGauge)
{
    shipResources();
    for (const auto& [test, model] : {std::pair{"ModelOnNoList", QByteArray("Some Board Rev 2")},
                                      {"TableModelWithoutItsSensor", Board}}) {
        setBoardModel(model);
        const IORegistry fresh(tree.root());
        EXPECT_FALSE(Gauge::CPUTemperatureGauge()) << test;
        EXPECT_FALSE(Gauge::CPUFrequencyGauge()) << test;
    }
}

TEST_F(GaugeTest, AMachineWithoutModelGetsNoGauge)
{
    shipResources();
    EXPECT_FALSE(Gauge::CPUTemperatureGauge());
    EXPECT_FALSE(Gauge::CPUFrequencyGauge());
}

} // namespace
} // namespace calidra
