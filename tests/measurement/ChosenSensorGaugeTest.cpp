// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/ChosenSensorGauge.h"

#include "GaugeTestBase.h"
#include "SensorMachine.h"

#include <memory>
#include <tuple>

namespace calidra {
namespace {

const QString Edge =
    u"sys/devices/"_qs + SensorMachine::GpuDevice + u"/hwmon/hwmon1/temp1_input"_qs;

class ChosenSensorGaugeTest : public GaugeTestBase
{
protected:
    ChosenSensorGaugeTest()
    {
        useShippedResources();
        setProcessor("GenuineIntel");
        SensorMachine::add(tree);
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

TEST_F(ChosenSensorGaugeTest, AChoiceGivesItsInputAndAnythingElseTheProcessor)
{
    // Two memory modules' unlabelled channels, which nothing tells apart.
    tree.addHwmon(7, "spd5118", {{nullptr, "31000"}});
    tree.addHwmon(8, "spd5118", {{nullptr, "32000"}});
    const struct
    {
        const char* name;
        QString choice;
        bool chosen;
        Outcome outcome;
    } rows[] = {
        {"Automatic", QString(), false, {55.0F, u"coretemp, Package id 0"_qs, {}}},
        {"Garbage", u"amdgpu, edge"_qs, false, {55.0F, u"coretemp, Package id 0"_qs, {}}},
        {"SeveralInputsMatch",
         u"{\"channel\":1,\"driver\":\"spd5118\"}"_qs,
         false,
         {55.0F, u"coretemp, Package id 0"_qs, {}}},
        {"GraphicsCard", SensorMachine::gpuEdge(), true, {48.0F, u"amdgpu, edge"_qs, {}}},
        {"DriveOfAnotherController",
         u"{\"device\":\"%1\",\"driver\":\"nvme\",\"label\":\"Sensor 2\"}"_qs.arg(
             SensorMachine::DriveDevice),
         true,
         {45.85F, u"nvme, Sensor 2"_qs, {}}},
        {"ZoneWithoutDevice",
         u"{\"index\":0,\"zone\":\"x86_pkg_temp\"}"_qs,
         true,
         {55.0F, u"x86_pkg_temp (zone 1)"_qs, {}}},
        {"Missing",
         u"{\"driver\":\"radeon\",\"label\":\"temp1\"}"_qs,
         true,
         {0.0F, std::nullopt, u"The chosen sensor (radeon, temp1) cannot be found."_qs}},
        {"BrokenChannel",
         u"{\"device\":\"platform/nct6775.656\",\"driver\":\"nct6798\",\"label\":\"AUXTIN0\"}"_qs,
         true,
         {0.0F, std::nullopt, u"The sensor (nct6798, AUXTIN0) gives no reading."_qs}},
    };
    for (const auto& [name, choice, chosen, expected] : rows) {
        const std::shared_ptr<Gauge> gauge = Gauge::temperatureGauge(choice);
        ASSERT_TRUE(gauge) << name;
        EXPECT_EQ(std::dynamic_pointer_cast<ChosenSensorGauge>(gauge) != nullptr, chosen) << name;
        EXPECT_EQ(outcome(*gauge), expected) << name;
    }
}

// A graphics driver loaded after the start, a card that stops answering, a
// card taken away.
TEST_F(ChosenSensorGaugeTest, AMissingInputIsLookedForAgainAndOneThatFailsIsNamed)
{
    const QString link = u"sys/class/hwmon/hwmon1"_qs;
    tree.remove(link);
    ChosenSensorGauge gauge(*TemperatureInputIdentity::fromText(SensorMachine::gpuEdge()),
                            QFile::encodeName(tree.root()));
    const QString missing = u"The chosen sensor (amdgpu, edge) cannot be found."_qs;
    EXPECT_EQ(outcome(gauge), Outcome(0.0F, std::nullopt, missing));
    EXPECT_EQ(gauge.chosenSensor(), u"amdgpu, edge"_qs);

    tree.addSymlink(link, u"../../devices/"_qs + SensorMachine::GpuDevice + u"/hwmon/hwmon1"_qs);
    for (int sample = 1; sample < ChosenSensorGauge::RetrySamples; ++sample) {
        ASSERT_EQ(outcome(gauge), Outcome(0.0F, std::nullopt, missing)) << sample;
    }
    EXPECT_EQ(outcome(gauge), Outcome(48.0F, u"amdgpu, edge"_qs, {}));

    tree.addFile(Edge, "error\n");
    EXPECT_EQ(outcome(gauge),
              Outcome(0.0F, std::nullopt, u"The sensor (amdgpu, edge) gives no reading."_qs));
    tree.addFile(Edge, "61000\n");
    EXPECT_EQ(outcome(gauge), Outcome(61.0F, u"amdgpu, edge"_qs, {}));

    tree.addFile(Edge, "");
    tree.remove(link);
    gauge.gauge();
    EXPECT_EQ(outcome(gauge), Outcome(0.0F, std::nullopt, missing));
}

} // namespace
} // namespace calidra
