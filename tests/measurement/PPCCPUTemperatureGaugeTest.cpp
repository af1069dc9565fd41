#include "measurement/PPCCPUTemperatureGauge.h"

#include "GaugeTestBase.h"

#include <optional>
#include <string>

namespace calidra {
namespace {

const std::optional<QString> Model = u"Board"_qs;
const QByteArray Both = "<array><string>/sensors/zone[0]</string>"
                        "<string>/sensors/zone[1]</string></array>";
const QByteArray First = "<string>/sensors/zone[0]</string>";

// A table with one row, for Model, whose "xpath" is `xpath` (left out when
// empty), followed by `rest`.
QByteArray table(const QByteArray& xpath, const QByteArray& rest = "<key>property</key>"
                                                                   "<string>temp</string>")
{
    const QByteArray path = xpath.isEmpty() ? QByteArray() : "<key>xpath</key>" + xpath;
    return FixtureBundle::xml("<dict><key>Board</key><dict>" + path + rest + "</dict></dict>");
}

QByteArray withFactor(const QByteArray& factor)
{
    return "<key>property</key><string>temp</string><key>factor</key>" + factor;
}

// Two sensor zones reading 60 and 65 degrees in 16.16 fixed point.
class PPCCPUTemperatureGaugeTest : public GaugeTestBase
{
protected:
    PPCCPUTemperatureGaugeTest()
    {
        tree.addFile(u"sys/devices/sensors/zone0/type"_qs, "cpu\n");
        setReading(0, "3932160");
        setReading(1, "4259840");
    }

    void setReading(int zone, const QByteArray& reading)
    {
        tree.addFile(zoneFile(zone), reading + '\n');
    }

    static QString zoneFile(int zone) { return u"sys/devices/sensors/zone%1/temp"_qs.arg(zone); }

    std::unique_ptr<PPCCPUTemperatureGauge> gaugeFor(const QByteArray& sensorTable,
                                                     const std::optional<QString>& model = Model)
    {
        bundle.addResource(u"PPCSensors.plist"_qs, sensorTable);
        return PPCCPUTemperatureGauge::initForMachineModel(model);
    }
};

TEST_F(PPCCPUTemperatureGaugeTest, TheRowDecidesSensorsAndScale)
{
    for (const auto& [test, sensorTable, reading] : {
             std::tuple{"TwoSensorsIn16Dot16", table(Both), 62.5F},
             {"FactorOne", table(First, withFactor("<integer>1</integer>")), 3932160.0F},
             {"FactorAsText", table(First, withFactor("<string>65536.0 units</string>")), 60.0F},
             {"FactorZeroIsMissing", table(First, withFactor("<integer>0</integer>")), 60.0F},
             {"FactorNegativeIsMissing", table(First, withFactor("<real>-2</real>")), 60.0F},
             {"FactorNanIsMissing", table(First, withFactor("<real>nan</real>")), 60.0F},
             {"FactorTextWithoutNumber", table(First, withFactor("<string>x</string>")), 60.0F},
             {"FirstPathFindsNothing",
              table("<array><string>/sensors/none</string><string>/sensors/zone[1]</string>"
                    "</array>"),
              65.0F},
             {"NonStringPathPassedOver",
              table("<array><integer>1</integer><string>/sensors/zone[1]</string></array>"), 65.0F},
             {"PropertyStepPassedOver",
              table("<array><string>/sensors/zone[0]/@temp</string>"
                    "<string>/sensors/zone[1]</string></array>"),
              65.0F},
             {"OnePathForOneSensor", table("<string>/sensors/zone[@type='cpu']</string>"), 60.0F},
         }) {
        const std::unique_ptr<PPCCPUTemperatureGauge> gauge = gaugeFor(sensorTable);
        ASSERT_TRUE(gauge) << test;
        EXPECT_FLOAT_EQ(gauge->gauge(), reading) << test;
    }
}

TEST_F(PPCCPUTemperatureGaugeTest, RowsWithoutAWorkingSensorGiveNoGauge)
{
    const QByteArray none = "<string>/sensors/none</string>";
    for (const auto& [test, sensorTable, model] : {
             std::tuple<const char*, QByteArray, const char*>{"ModelNotInTable", table(Both),
                                                              "Other"},
             {"AbsentModel", table(Both), nullptr},
             {"ModelDiffersInCase", table(Both), "board"},
             {"PathFindsNothing", table(none), "Board"},
             {"NoPathFindsAnything",
              table("<array>" + none +
                    "<string>/sensors/zone[2]</string><string>x</string></array>"),
              "Board"},
             {"EmptyArray", table("<array/>"), "Board"},
             {"XPathANumber", table("<integer>0</integer>"), "Board"},
             {"XPathMissing", table(""), "Board"},
             {"PathEndsInAPropertyStep", table("<string>/sensors/zone[0]/@temp</string>"), "Board"},
             {"NoProperty", table(Both, ""), "Board"},
             {"PropertyNotText", table(Both, "<key>property</key><integer>1</integer>"), "Board"},
             {"RowNotADictionary",
              FixtureBundle::xml("<dict><key>Board</key><string>x</string></dict>"), "Board"},
             {"TableAnArray", FixtureBundle::xml("<array/>"), "Board"},
             {"TableGarbage", QByteArray("\x00\x01garbage", 9), "Board"},
         }) {
        EXPECT_FALSE(gaugeFor(sensorTable, modelOf(model))) << test;
    }
}

TEST_F(PPCCPUTemperatureGaugeTest, WithoutATableThereIsNoGauge)
{
    EXPECT_FALSE(PPCCPUTemperatureGauge::initForMachineModel(Model));
}

TEST_F(PPCCPUTemperatureGaugeTest, ASensorThatStopsReadingCountsAsZero)
{
    setReading(1, "3932160");
    const std::unique_ptr<PPCCPUTemperatureGauge> gauge = gaugeFor(table(Both));
    ASSERT_TRUE(gauge);
    tree.remove(zoneFile(1));
    EXPECT_FLOAT_EQ(gauge->gauge(), 30.0F) << "property vanished";
    tree.addUnreadable(zoneFile(1));
    EXPECT_FLOAT_EQ(gauge->gauge(), 30.0F) << "property unreadable";
    tree.remove(zoneFile(1));
    setReading(1, "3932160");
    EXPECT_FLOAT_EQ(gauge->gauge(), 60.0F) << "property back";
    tree.remove(u"sys/devices/sensors/zone1"_qs);
    EXPECT_FLOAT_EQ(gauge->gauge(), 30.0F) << "sensor entry vanished";
}

TEST_F(PPCCPUTemperatureGaugeTest, TextReadingsCountByTheirLeadingNumber)
{
    const std::unique_ptr<PPCCPUTemperatureGauge> gauge =
        gaugeFor(table(First, withFactor("<integer>1</integer>")));
    ASSERT_TRUE(gauge);
    for (const auto& [reading, value] : {std::pair{QByteArray("45.5 C"), 45.5F},
                                         {" +40.25", 40.25F},
                                         {"-5.5", -5.5F},
                                         {"1e1x", 10.0F},
                                         {"nan", 0.0F},
                                         {"inf", 0.0F},
                                         {"1e39", 0.0F},
                                         {"C 45", 0.0F},
                                         {"", 0.0F},
                                         {"\xFF\xFE", 0.0F}}) {
        setReading(0, reading);
        EXPECT_EQ(gauge->gauge(), value) << reading.toStdString();
    }
}

} // namespace
} // namespace calidra
