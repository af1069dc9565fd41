// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/PPCCPUTemperatureGauge.h"

#include "GaugeTestBase.h"

#include <optional>
#include <tuple>

namespace calidra {
namespace {

const QByteArray First = "<string>/sensors/zone[0]</string>";
const QByteArray Second = "<string>/sensors/zone[1]</string>";
const QByteArray Third = "<string>/sensors/zone[2]</string>";
const QByteArray Both = "<array>" + First + Second + "</array>";
const std::optional<float> NoGauge;

// A sensor table whose one row, for "Board", reads `property` from the entries
// at `xpath` and divides by `factor` unless it is empty.
QByteArray table(const QByteArray& xpath, const QByteArray& factor = {},
                 const QByteArray& property = "<key>property</key><string>temp</string>")
{
    const QByteArray divisor = factor.isEmpty() ? QByteArray() : "<key>factor</key>" + factor;
    return FixtureBundle::xml("<dict><key>Board</key><dict><key>xpath</key>" + xpath + property +
                              divisor + "</dict></dict>");
}

// Two sensor entries reading 60 and 65 degrees in 16.16 fixed point, and one
// reading 47 in whole degrees.
class PPCCPUTemperatureGaugeTest : public GaugeTestBase
{
protected:
    PPCCPUTemperatureGaugeTest()
    {
        tree.addFile(u"sys/devices/sensors/zone0/temp"_qs, "3932160\n");
        tree.addFile(u"sys/devices/sensors/zone1/temp"_qs, "4259840\n");
        tree.addFile(u"sys/devices/sensors/zone2/temp"_qs, "47\n");
    }

    std::unique_ptr<PPCCPUTemperatureGauge>
    gaugeFor(const QByteArray& sensorTable, const std::optional<QString>& model = u"Board"_qs)
    {
        bundle.addResource(u"PPCSensors.plist"_qs, sensorTable);
        return PPCCPUTemperatureGauge::initForMachineModel(model);
    }
};

// The reading of the gauge made from each row; none where no gauge is made.
TEST_F(PPCCPUTemperatureGaugeTest, TheRowDecidesSensorsAndScaleOrThatThereIsNoGauge)
{
    EXPECT_FALSE(gaugeFor(table(Both), u"Other"_qs)) << "model not in table";
    EXPECT_FALSE(gaugeFor(table(Both), std::nullopt)) << "absent model";
    const QByteArray none = "<string>/sensors/none</string>";
    for (const auto& [test, sensorTable, reading] : {
             std::tuple{"TwoSensorsIn16Dot16", table(Both), std::optional(62.5F)},
             {"FactorOneAveragesRawReadings", table(Third, "<integer>1</integer>"), 47.0F},
             // A 60-degree sensor read raw is no temperature at all.
             {"FactorOneOnAFixedPointSensor", table(First, "<integer>1</integer>"), 0.0F},
             {"FactorZeroIsMissing", table(First, "<integer>0</integer>"), 60.0F},
             {"FactorNegativeIsMissing", table(First, "<real>-2</real>"), 60.0F},
             {"FactorTextWithoutNumberIsMissing", table(First, "<string>x</string>"), 60.0F},
             {"PathsFindingNothingPassedOver",
              table("<array><integer>1</integer>" + none + Second + "</array>"), 65.0F},
             {"NoPathFindsAnything", table("<array>" + none + "</array>"), NoGauge},
             {"EmptyArray", table("<array/>"), NoGauge},
             {"XPathANumber", table("<integer>0</integer>"), NoGauge},
             {"PathEndsInAPropertyStep", table("<string>/sensors/zone[0]/@temp</string>"), NoGauge},
             {"NoProperty", table(Both, {}, {}), NoGauge},
         }) {
        const std::unique_ptr<PPCCPUTemperatureGauge> gauge = gaugeFor(sensorTable);
        EXPECT_EQ(gauge ? std::optional(gauge->gauge()) : std::nullopt, reading) << test;
    }
}

// A sensor whose property vanishes counts as zero; text readings count by
// their leading number.
TEST_F(PPCCPUTemperatureGaugeTest, VanishedAndTextReadings)
{
    const std::unique_ptr<PPCCPUTemperatureGauge> both = gaugeFor(table(Both));
    ASSERT_TRUE(both);
    tree.remove(u"sys/devices/sensors/zone1/temp"_qs);
    EXPECT_EQ(both->gauge(), 30.0F);
    const auto gauge = gaugeFor(table(First, "<integer>1</integer>"));
    ASSERT_TRUE(gauge);
    for (const auto& [reading, value] : {std::pair<QByteArray, float>{"45.5 C", 45.5F},
                                         {" +40.25", 40.25F},
                                         {"nan", 0.0F},
                                         {"C 45", 0.0F}}) {
        tree.addFile(u"sys/devices/sensors/zone0/temp"_qs, reading);
        EXPECT_EQ(gauge->gauge(), value) << reading.toStdString();
    }
}

// Whatever a row's sensors and factor give, the gauge gives a plausible
// temperature or 0, no reading: never 3.4e38, an infinity or a NaN.
TEST_F(PPCCPUTemperatureGaugeTest, AMeanBeyondAnyTemperatureIsNoReading)
{
    const QByteArray raw = "<integer>1</integer>";
    // clang-format off
    for (const auto& [test, first, second, factor, reading] : {
             std::tuple<const char*, QByteArray, QByteArray, QByteArray, float>{"Huge", "3.4e38", "3.4e38", raw, 0.0F},
             {"OverflowsToInfinity", "3932160", "4259840", "<real>1e-38</real>", 0.0F},
             {"InfinitiesMakeNaN", "3.4e38", "-3.4e38", "<real>1e-30</real>", 0.0F},
             {"Negative", "-5", "-7", raw, 0.0F}, {"AboveTheHottest", "200", "201", raw, 0.0F},
             {"TheHottest", "200", "200", raw, 200.0F}, {"OneBrokenSensorSpoilsTheMean", "2147483647", "50", raw, 0.0F},
         }) {
        // clang-format on
        tree.addFile(u"sys/devices/sensors/zone0/temp"_qs, first);
        tree.addFile(u"sys/devices/sensors/zone1/temp"_qs, second);
        const std::unique_ptr<PPCCPUTemperatureGauge> gauge = gaugeFor(table(Both, factor));
        ASSERT_TRUE(gauge) << test;
        EXPECT_EQ(gauge->gauge(), reading) << test;
    }
}

} // namespace
} // namespace calidra
