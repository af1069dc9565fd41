// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/PPCCPUTemperatureGauge.h"

#include "GaugeTestBase.h"

#include <optional>
#include <tuple>

namespace calidra {
namespace {

const QByteArray First = "<string>/sensors/zone[0]</string>";
const QByteArray Second = "<string>/sensors/zone[1]</string>";
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

// Two sensor entries reading 60 and 65 degrees in 16.16 fixed point.
class PPCCPUTemperatureGaugeTest : public GaugeTestBase
{
protected:
    PPCCPUTemperatureGaugeTest()
    {
        tree.addFile(u"sys/devices/sensors/zone0/temp"_qs, "3932160\n");
        tree.addFile(u"sys/devices/sensors/zone1/temp"_qs, "4259840\n");
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
             {"FactorOne", table(First, "<integer>1</integer>"), 3932160.0F},
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

TEST_F(PPCCPUTemperatureGaugeTest, ASensorWhosePropertyVanishesCountsAsZero)
{
    const std::unique_ptr<PPCCPUTemperatureGauge> gauge = gaugeFor(table(Both));
    ASSERT_TRUE(gauge);
    tree.remove(u"sys/devices/sensors/zone1/temp"_qs);
    EXPECT_EQ(gauge->gauge(), 30.0F);
}

TEST_F(PPCCPUTemperatureGaugeTest, TextReadingsCountByTheirLeadingNumber)
{
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

} // namespace
} // namespace calidra
