// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/Gauge.h"

#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "SensorMachine.h"
#include "hardware/IORegistry.h"
#include "hardware/KernelValues.h"
#include "hardware/TemperatureInputs.h"
#include "measurement/ChosenSensorGauge.h"
#include "measurement/IntelCPUFrequencyGauge.h"
#include "measurement/IntelCPUTemperatureGauge.h"
#include "measurement/IntelModels.h"
#include "measurement/PPCCPUTemperatureGauge.h"
#include "measurement/ThermalZoneGauge.h"

#include <QDir>
#include <gtest/gtest.h>

namespace calidra {
namespace {

const QString Machines = QString::fromUtf8(CALIDRA_RECORDED_MACHINES);

// What a gauge reads, the sensor it names, and why it reads nothing.
using Outcome = std::tuple<float, std::optional<QString>, QString>;
Outcome outcome(Gauge& gauge)
{
    const float reading = gauge.gauge();
    return {reading, gauge.sensorInUse(), gauge.hasSource() ? QString() : gauge.noReadingReason()};
}
Outcome reads(float celsius, const QString& sensor)
{
    return {celsius, sensor, {}};
}
Outcome none(const QString& why)
{
    return {0.0F, std::nullopt, why};
}

class GaugeTest : public testing::Test
{
protected:
    GaugeTest()
    {
        tree.addFolder(u"sys/devices"_qs);
        for (const QString& name : {u"IntelModels.plist"_qs, u"PPCSensors.plist"_qs})
            bundle.tree.addSymlink(u"Calidra/Resources/"_qs + name,
                                   QString::fromUtf8(CALIDRA_SHIPPED_RESOURCES) + u'/' + name);
    }

    void setProcessor(const QByteArray& vendor) // four x86 processors
    {
        tree.addFile(u"proc/cpuinfo"_qs, FixtureTree::cpuinfo(vendor));
        tree.addFile(u"sys/devices/system/cpu/online"_qs, "0-3\n");
    }

    // An unlinked fixture file still reads until emptied, as a removed zone's fails.
    void removeZone(const QByteArray& type)
    {
        tree.addThermalZone(0, type, "");
        tree.remove(FixtureTree::thermalZone(0));
    }

    // Torn down in reverse: the process-wide ones stay current until those below are gone.
    FixtureTree tree;
    FixtureBundle bundle;
    IORegistry registry{tree.root()};
    KernelValues values{tree.root()};
};

TEST(IntelModelsTest, AModelIsListedOnlyWhenAListedStringEqualsIt)
{
    ASSERT_FALSE(Bundle::mainBundle());
    EXPECT_FALSE(IntelModels::isIntelModel(u"GenuineIntel"_qs)) << "no bundle";
    FixtureBundle bundle;
    EXPECT_FALSE(IntelModels::isIntelModel(u"GenuineIntel"_qs)) << "no list";
    const QByteArray listed =
        FixtureBundle::xml("<array><string>GenuineIntel</string><integer>5</integer></array>");
    const QByteArray dictionary =
        FixtureBundle::xml("<dict><key>GenuineIntel</key><string>GenuineIntel</string></dict>");
    // clang-format off
    const std::tuple<const char*, QByteArray, std::optional<QString>, bool> rows[] = {
        {"Listed", listed, u"GenuineIntel"_qs, true}, {"Unlisted", listed, u"Genuine"_qs, false},
        {"DiffersInCase", listed, u"genuineintel"_qs, false}, {"OnlyANumberMatches", listed, u"5"_qs, false},
        {"AbsentModel", listed, std::nullopt, false}, {"DictionaryRoot", dictionary, u"GenuineIntel"_qs, false}};
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
                  none(u"The processor temperature driver (k10temp) is not loaded."_qs));
        tree.addHwmon(0, "k10temp", {{"Tctl", "41250"}});
        tree.addFile(u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs, "2000000\n");
        EXPECT_EQ(outcome(*Gauge::CPUTemperatureGauge()), reads(41.0F, u"k10temp, Tctl"_qs));
        EXPECT_EQ(Gauge::CPUFrequencyGauge()->gauge(), 2000.0F);
        tree.remove(u"sys/class/hwmon"_qs);
    }
}

TEST_F(GaugeTest, ListedProcessorsReadTheDriverElseTheZone)
{
    setProcessor("GenuineIntel");
    const QString zone = u"x86_pkg_temp (thermal_zone0)"_qs;
    const Outcome silent = none(u"The sensor (coretemp) gives no reading."_qs);
    {
        // A reading no processor can be is none; the zone stands in.
        tree.addHwmon(0, "coretemp", {{"Package id 0", "250000"}});
        IntelCPUTemperatureGauge gauge(u"GenuineIntel"_qs);
        EXPECT_EQ(outcome(gauge), silent);
        tree.addThermalZone(0, "x86_pkg_temp", "45500");
        EXPECT_EQ(outcome(gauge), reads(45.5F, zone));
        removeZone("x86_pkg_temp");
        tree.remove(u"sys/class/hwmon"_qs);
    }
    IntelCPUTemperatureGauge gauge(u"GenuineIntel"_qs);
    EXPECT_EQ(outcome(gauge),
              none(u"The processor temperature driver (coretemp) is not loaded."_qs));
    tree.addThermalZone(0, "x86_pkg_temp", "45500");
    EXPECT_EQ(outcome(gauge), reads(45.5F, zone));
    // A driver loaded later takes over at the next look for it, not at every sample.
    tree.addHwmon(0, "coretemp", {{"Package id 0", "57000"}});
    for (int sample = 1; sample < IntelCPUTemperatureGauge::DriverRetrySamples; ++sample)
        ASSERT_EQ(gauge.gauge(), 45.5F) << sample;
    EXPECT_EQ(outcome(gauge), reads(57.0F, u"coretemp, Package id 0"_qs));
    removeZone("x86_pkg_temp");
    tree.addFile(u"sys/class/hwmon/hwmon0/temp1_input"_qs, "garbage\n");
    EXPECT_EQ(outcome(gauge), silent);
    EXPECT_EQ(IntelCPUTemperatureGauge(u"SomeOtherVendor"_qs).noReadingReason(),
              u"This machine has no known temperature sensor."_qs);
}

// A zone that goes away is named in the reason; one that comes back is found again.
TEST_F(GaugeTest, ModelsOnNoListGetTheProcessorsThermalZoneElseNoGauge)
{
    tree.addFile(u"sys/firmware/devicetree/base/model"_qs, QByteArray("Some Board Rev 2\0", 17));
    tree.addThermalZone(0, "gpu-thermal", "50000");
    EXPECT_FALSE(Gauge::CPUTemperatureGauge() || Gauge::CPUFrequencyGauge());
    tree.addThermalZone(0, "soc_thermal", "43125");
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(std::dynamic_pointer_cast<ThermalZoneGauge>(temperature));
    EXPECT_EQ(outcome(*temperature), reads(43.125F, u"soc_thermal (thermal_zone0)"_qs));
    removeZone("soc_thermal");
    EXPECT_EQ(outcome(*temperature),
              none(u"The sensor (soc_thermal (thermal_zone0)) gives no reading."_qs));
    tree.addThermalZone(0, "soc_thermal", "44000");
    EXPECT_EQ(std::get<0>(outcome(*temperature)), 44.0F);
}

TEST_F(GaugeTest, AChoiceGivesItsInputAndAnythingElseTheProcessor)
{
    setProcessor("GenuineIntel");
    SensorMachine::add(tree);
    // Two memory modules' unlabelled channels, which nothing tells apart.
    tree.addHwmon(7, "spd5118", {{nullptr, "31000"}});
    tree.addHwmon(8, "spd5118", {{nullptr, "32000"}});
    const Outcome processor = reads(55.0F, u"coretemp, Package id 0"_qs);
    // clang-format off
    const std::tuple<const char*, QString, bool, Outcome> rows[] = {
        {"Automatic", QString(), false, processor}, {"Garbage", u"amdgpu, edge"_qs, false, processor},
        {"SeveralInputsMatch", u"{\"channel\":1,\"driver\":\"spd5118\"}"_qs, false, processor},
        {"GraphicsCard", SensorMachine::gpuEdge(), true, reads(48.0F, u"amdgpu, edge"_qs)},
        {"DriveOfAnotherController", u"{\"device\":\"%1\",\"driver\":\"nvme\",\"label\":\"Sensor 2\"}"_qs.arg(
             SensorMachine::DriveDevice), true, reads(45.85F, u"nvme, Sensor 2"_qs)},
        {"ZoneWithoutDevice", u"{\"index\":0,\"zone\":\"x86_pkg_temp\"}"_qs, true,
         reads(55.0F, u"x86_pkg_temp (zone 1)"_qs)},
        {"Missing", u"{\"driver\":\"radeon\",\"label\":\"temp1\"}"_qs, true,
         none(u"The chosen sensor (radeon, temp1) cannot be found."_qs)},
        {"BrokenChannel", u"{\"device\":\"platform/nct6775.656\",\"driver\":\"nct6798\",\"label\":\"AUXTIN0\"}"_qs,
         true, none(u"The sensor (nct6798, AUXTIN0) gives no reading."_qs)},
    };
    // clang-format on
    for (const auto& [name, choice, chosen, expected] : rows) {
        const std::shared_ptr<Gauge> gauge = Gauge::temperatureGauge(choice);
        ASSERT_TRUE(gauge) << name;
        EXPECT_EQ(std::dynamic_pointer_cast<ChosenSensorGauge>(gauge) != nullptr, chosen) << name;
        EXPECT_EQ(outcome(*gauge), expected) << name;
    }
}

TEST_F(GaugeTest, AMissingChosenInputIsLookedForAgainAndOneThatFailsIsNamed)
{
    SensorMachine::add(tree);
    const QString link = u"sys/class/hwmon/hwmon1"_qs;
    const QString edge =
        u"sys/devices/"_qs + SensorMachine::GpuDevice + u"/hwmon/hwmon1/temp1_input"_qs;
    tree.remove(link);
    ChosenSensorGauge gauge(*TemperatureInputIdentity::fromText(SensorMachine::gpuEdge()),
                            QFile::encodeName(tree.root()));
    const Outcome missing = none(u"The chosen sensor (amdgpu, edge) cannot be found."_qs);
    EXPECT_EQ(outcome(gauge), missing);
    EXPECT_EQ(gauge.chosenSensor(), u"amdgpu, edge"_qs);
    tree.addSymlink(link, u"../../devices/"_qs + SensorMachine::GpuDevice + u"/hwmon/hwmon1"_qs);
    for (int sample = 1; sample < ChosenSensorGauge::RetrySamples; ++sample)
        ASSERT_EQ(outcome(gauge), missing) << sample;
    EXPECT_EQ(outcome(gauge), reads(48.0F, u"amdgpu, edge"_qs));
    tree.addFile(edge, "error\n");
    EXPECT_EQ(outcome(gauge), none(u"The sensor (amdgpu, edge) gives no reading."_qs));
    tree.addFile(edge, "61000\n");
    EXPECT_EQ(outcome(gauge), reads(61.0F, u"amdgpu, edge"_qs));
    tree.addFile(edge, "");
    tree.remove(link);
    gauge.gauge();
    EXPECT_EQ(outcome(gauge), missing);
}

// A table whose row for "Board" reads `property` at `xpath`, divided by `factor` if given.
QByteArray sensorTable(const QByteArray& xpath, const QByteArray& factor = {},
                       const QByteArray& property = "<key>property</key><string>temp</string>")
{
    const QByteArray divisor = factor.isEmpty() ? QByteArray() : "<key>factor</key>" + factor;
    return FixtureBundle::xml("<dict><key>Board</key><dict><key>xpath</key>" + xpath + property +
                              divisor + "</dict></dict>");
}

// zone0 and zone1 read as the row says (null: gone), zone2 47; a vanished sensor counts as zero,
// a text by its leading number, and the mean is a plausible temperature or 0.
TEST_F(GaugeTest, PPCSensorTableRowDecidesSensorsAndScaleOrThatThereIsNoGauge)
{
    bundle.tree.remove(u"Calidra/Resources/PPCSensors.plist"_qs); // written below, not the shipped
    const auto gaugeFor = [this](const QByteArray& table, const std::optional<QString>& model) {
        bundle.addResource(u"PPCSensors.plist"_qs, table);
        return PPCCPUTemperatureGauge::initForMachineModel(model);
    };
    tree.addFile(u"sys/devices/sensors/zone2/temp"_qs, "47\n");
    const QByteArray zone0 = "<string>/sensors/zone[0]</string>", raw = "<integer>1</integer>";
    const QByteArray both = "<array>" + zone0 + "<string>/sensors/zone[1]</string></array>";
    const QByteArray none = "<string>/sensors/none</string>", a = "3932160",
                     b = "4259840"; // 60, 65
    EXPECT_FALSE(gaugeFor(sensorTable(both), u"Other"_qs)) << "model not in table";
    EXPECT_FALSE(gaugeFor(sensorTable(both), std::nullopt)) << "absent model";
    const std::optional<float> noGauge;
    // clang-format off
    const std::tuple<const char*, QByteArray, QByteArray, std::optional<QByteArray>, std::optional<float>> rows[] = {
        {"TwoSensorsIn16Dot16", sensorTable(both), a, b, 62.5F},
        {"FactorOneAveragesRawReadings", sensorTable("<string>/sensors/zone[2]</string>", raw), a, b, 47.0F},
        {"FactorOneOnAFixedPointSensor", sensorTable(zone0, raw), a, b, 0.0F}, // no temperature at all
        {"FactorZeroIsMissing", sensorTable(zone0, "<integer>0</integer>"), a, b, 60.0F},
        {"FactorNegativeIsMissing", sensorTable(zone0, "<real>-2</real>"), a, b, 60.0F},
        {"FactorTextWithoutNumberIsMissing", sensorTable(zone0, "<string>x</string>"), a, b, 60.0F},
        {"PathsFindingNothingPassedOver",
         sensorTable("<array><integer>1</integer>" + none + "<string>/sensors/zone[1]</string></array>"), a, b, 65.0F},
        {"NoPathFindsAnything", sensorTable("<array>" + none + "</array>"), a, b, noGauge},
        {"EmptyArray", sensorTable("<array/>"), a, b, noGauge},
        {"XPathANumber", sensorTable("<integer>0</integer>"), a, b, noGauge},
        {"PathEndsInAPropertyStep", sensorTable("<string>/sensors/zone[0]/@temp</string>"), a, b, noGauge},
        {"NoProperty", sensorTable(both, {}, {}), a, b, noGauge},
        {"Vanished", sensorTable(both), a, std::nullopt, 30.0F},
        {"Text", sensorTable(zone0, raw), "45.5 C", b, 45.5F}, {"Sign", sensorTable(zone0, raw), " +40.25", b, 40.25F},
        {"NaN", sensorTable(zone0, raw), "nan", b, 0.0F}, {"NoNumber", sensorTable(zone0, raw), "C 45", b, 0.0F},
        {"Huge", sensorTable(both, raw), "3.4e38", "3.4e38", 0.0F},
        {"OverflowsToInfinity", sensorTable(both, "<real>1e-38</real>"), a, b, 0.0F},
        {"InfinitiesMakeNaN", sensorTable(both, "<real>1e-30</real>"), "3.4e38", "-3.4e38", 0.0F},
        {"Negative", sensorTable(both, raw), "-5", "-7", 0.0F},
        {"AboveTheHottest", sensorTable(both, raw), "200", "201", 0.0F},
        {"TheHottest", sensorTable(both, raw), "200", "200", 200.0F},
        {"OneBrokenSensorSpoilsTheMean", sensorTable(both, raw), "2147483647", "50", 0.0F},
    };
    // clang-format on
    for (const auto& [name, table, first, second, reading] : rows) {
        tree.addFile(u"sys/devices/sensors/zone0/temp"_qs, first);
        tree.addFile(u"sys/devices/sensors/zone1/temp"_qs, second.value_or(""));
        if (!second)
            tree.remove(u"sys/devices/sensors/zone1/temp"_qs);
        const std::unique_ptr<PPCCPUTemperatureGauge> gauge = gaugeFor(table, u"Board"_qs);
        EXPECT_EQ(gauge ? std::optional(gauge->gauge()) : std::nullopt, reading) << name;
    }
}

// The machines of tests/data/machines (its README tells their SOURCE files).
class RealMachineTest : public GaugeTest, public testing::WithParamInterface<QString>
{
protected:
    RealMachineTest()
    {
        tree.addCopy(u"."_qs, Machines + u'/' + GetParam());
        QFile file(Machines + u'/' + GetParam() + u"/SOURCE"_qs);
        for (const QByteArray& line :
             file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList()) {
            if (const qsizetype colon = line.indexOf(": "); colon > 0)
                fields.insert(QString::fromUtf8(line.first(colon)),
                              QString::fromUtf8(line.mid(colon + 2)));
        }
    }

    QMap<QString, QString> fields; // the "Key: value" lines of its SOURCE file
};

QStringList recordedMachines()
{
    return QDir(Machines).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

TEST_P(RealMachineTest, ReadsWhatItsRecordingShows)
{
    ASSERT_FALSE(fields.value(u"Source"_qs).isEmpty()) << "SOURCE names no recording";
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(temperature);
    const QString celsius = fields.value(u"Temperature"_qs), sensor = fields.value(u"Sensor"_qs);
    EXPECT_FLOAT_EQ(temperature->gauge(), celsius == u"no reading"_qs ? 0.0F : celsius.toFloat());
    EXPECT_EQ(temperature->sensorInUse(),
              sensor == u"none"_qs ? std::nullopt : std::optional(sensor));
    EXPECT_EQ(temperature->hasSource() ? QString() : temperature->noReadingReason(),
              fields.value(u"Why"_qs));
    const std::shared_ptr<Gauge> frequency = Gauge::CPUFrequencyGauge();
    const QString megahertz = fields.value(u"Frequency"_qs);
    EXPECT_EQ(frequency ? std::optional(frequency->gauge()) : std::nullopt,
              megahertz == u"not measured"_qs
                  ? std::nullopt
                  : std::optional(megahertz == u"no reading"_qs ? 0.0F : megahertz.toFloat()));
}

// A machine without the processor's sensor may still have others to choose.
TEST_P(RealMachineTest, EveryInputItListsIsFoundAgainByItsChoice)
{
    const std::vector<TemperatureInput> inputs = listTemperatureInputs(values.systemRoot());
    EXPECT_TRUE(fields.value(u"Sensor"_qs) == u"none"_qs || !inputs.empty());
    for (const TemperatureInput& input : inputs) {
        if (input.unique) {
            const std::shared_ptr<Gauge> chosen = Gauge::temperatureGauge(input.identity.text());
            ASSERT_TRUE(chosen->chosenSensor()) << input.name.toStdString();
            EXPECT_EQ(chosen->gauge(), input.readCelsius().value_or(0.0F))
                << input.name.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Recorded, RealMachineTest, testing::ValuesIn(recordedMachines()),
                         [](const testing::TestParamInfo<QString>& row) {
                             return QString(row.param).replace(u'-', u'_').toStdString();
                         });

// A wrong folder would leave the table empty and the suite quietly green.
TEST(RealMachinesTest, TheCorpusIsThere)
{
    EXPECT_GE(recordedMachines().size(), 15);
}

} // namespace
} // namespace calidra
