// SPDX-License-Identifier: GPL-3.0-or-later
#include "GaugeTestBase.h"
#include "hardware/TemperatureInputs.h"
#include "measurement/Gauge.h"

#include <QDir>
#include <QFile>

#include <optional>
#include <ostream>
#include <vector>

namespace calidra {
namespace {

// Machines as other projects recorded them, one folder each below
// tests/data/machines: a system root with only what a temperature or
// frequency reader looks at, and a SOURCE file that names the recording, tells
// what the machine is and what a person reading the recording expects:
//
//   Temperature: 42.932 | no reading
//   Sensor: <what About names> | none
//   Why: <why there is no reading>        (only without a reading)
//   Frequency: 1700 | no reading | not measured
//
// "no reading" is a gauge that reads nothing; "not measured" is a machine that
// has no frequency gauge at all.
struct Machine
{
    QString folder;
    QMap<QString, QString> fields; // the "Key: value" lines of its SOURCE file
};

void PrintTo(const Machine& machine, std::ostream* out)
{
    *out << machine.folder.toStdString();
}

QString machinesFolder()
{
    return QString::fromUtf8(CALIDRA_RECORDED_MACHINES);
}

std::vector<Machine> recordedMachines()
{
    std::vector<Machine> machines;
    for (const QString& folder :
         QDir(machinesFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(machinesFolder() + u'/' + folder + u"/SOURCE"_qs);
        Machine& machine = machines.emplace_back(Machine{folder, {}});
        for (const QByteArray& line :
             file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList()) {
            if (const qsizetype colon = line.indexOf(": "); colon > 0) {
                machine.fields.insert(QString::fromUtf8(line.first(colon)),
                                      QString::fromUtf8(line.mid(colon + 2)));
            }
        }
    }
    return machines;
}

class RealMachineTest : public GaugeTestBase, public testing::WithParamInterface<Machine>
{
protected:
    RealMachineTest() { useShippedResources(); }
};

TEST_P(RealMachineTest, ReadsWhatItsRecordingShows)
{
    const auto field = [](const QString& key) { return GetParam().fields.value(key); };
    ASSERT_FALSE(field(u"Source"_qs).isEmpty()) << "SOURCE names no recording";
    tree.addCopy(u"."_qs, machinesFolder() + u'/' + GetParam().folder);
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(temperature);
    const QString celsius = field(u"Temperature"_qs);
    EXPECT_FLOAT_EQ(temperature->gauge(), celsius == u"no reading"_qs ? 0.0F : celsius.toFloat());
    const QString sensor = field(u"Sensor"_qs);
    EXPECT_EQ(temperature->sensorInUse(),
              sensor == u"none"_qs ? std::nullopt : std::optional(sensor));
    EXPECT_EQ(temperature->hasSource() ? QString() : temperature->noReadingReason(),
              field(u"Why"_qs));
    const std::shared_ptr<Gauge> frequency = Gauge::CPUFrequencyGauge();
    const QString megahertz = field(u"Frequency"_qs);
    EXPECT_EQ(frequency ? std::optional(frequency->gauge()) : std::nullopt,
              megahertz == u"not measured"_qs
                  ? std::nullopt
                  : std::optional(megahertz == u"no reading"_qs ? 0.0F : megahertz.toFloat()));
}

// Each input a user could choose on the machine is found again by its stored
// choice and read as the list shows it.
TEST_P(RealMachineTest, EveryInputItListsIsFoundAgainByItsChoice)
{
    tree.addCopy(u"."_qs, machinesFolder() + u'/' + GetParam().folder);
    const std::vector<TemperatureInput> inputs = listTemperatureInputs(values.systemRoot());
    // A machine without the processor's sensor may still have others to choose.
    if (GetParam().fields.value(u"Sensor"_qs) != u"none"_qs) {
        EXPECT_FALSE(inputs.empty());
    }
    for (const TemperatureInput& input : inputs) {
        if (!input.unique) {
            continue;
        }
        const std::shared_ptr<Gauge> chosen = Gauge::temperatureGauge(input.identity.text());
        ASSERT_TRUE(chosen->chosenSensor()) << input.name.toStdString();
        EXPECT_EQ(chosen->gauge(), input.readCelsius().value_or(0.0F)) << input.name.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Recorded, RealMachineTest, testing::ValuesIn(recordedMachines()),
                         [](const testing::TestParamInfo<Machine>& row) {
                             return QString(row.param.folder).replace(u'-', u'_').toStdString();
                         });

// A wrong folder would leave the table empty and the suite quietly green.
TEST(RealMachinesTest, TheCorpusIsThere)
{
    EXPECT_GE(recordedMachines().size(), 15U);
}

} // namespace
} // namespace calidra
