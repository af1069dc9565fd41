// SPDX-License-Identifier: GPL-3.0-or-later
#include "GaugeTestBase.h"
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
    float temperature = 0;
    std::optional<QString> sensor;
    QString reason;
    std::optional<float> frequency;
    QString source;
};

void PrintTo(const Machine& machine, std::ostream* out)
{
    *out << machine.folder.toStdString();
}

QString machinesFolder()
{
    return QString::fromUtf8(CALIDRA_RECORDED_MACHINES);
}

// The "Key: value" lines of a SOURCE file.
QMap<QString, QString> sourceFields(const QString& folder)
{
    QFile file(machinesFolder() + u'/' + folder + u"/SOURCE"_qs);
    QMap<QString, QString> fields;
    if (!file.open(QIODevice::ReadOnly)) {
        return fields;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype colon = line.indexOf(": ");
        if (colon > 0) {
            fields.insert(QString::fromUtf8(line.first(colon)),
                          QString::fromUtf8(line.mid(colon + 2)));
        }
    }
    return fields;
}

Machine recordedMachine(const QString& folder)
{
    const QMap<QString, QString> fields = sourceFields(folder);
    Machine machine;
    machine.folder = folder;
    const QString temperature = fields.value(u"Temperature"_qs);
    machine.temperature = temperature == u"no reading"_qs ? 0.0F : temperature.toFloat();
    const QString sensor = fields.value(u"Sensor"_qs);
    if (sensor != u"none"_qs) {
        machine.sensor = sensor;
    }
    machine.reason = fields.value(u"Why"_qs);
    const QString frequency = fields.value(u"Frequency"_qs);
    if (frequency != u"not measured"_qs) {
        machine.frequency = frequency == u"no reading"_qs ? 0.0F : frequency.toFloat();
    }
    machine.source = fields.value(u"Source"_qs);
    return machine;
}

std::vector<Machine> recordedMachines()
{
    std::vector<Machine> machines;
    const QStringList folders = QDir(machinesFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& folder : folders) {
        machines.push_back(recordedMachine(folder));
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
    const Machine& machine = GetParam();
    ASSERT_FALSE(machine.source.isEmpty()) << "SOURCE names no recording";
    tree.addCopy(u"."_qs, machinesFolder() + u'/' + machine.folder);
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(temperature);
    EXPECT_FLOAT_EQ(temperature->gauge(), machine.temperature);
    EXPECT_EQ(temperature->sensorInUse(), machine.sensor);
    EXPECT_EQ(temperature->hasSource() ? QString() : temperature->noReadingReason(),
              machine.reason);
    const std::shared_ptr<Gauge> frequency = Gauge::CPUFrequencyGauge();
    EXPECT_EQ(frequency ? std::optional(frequency->gauge()) : std::nullopt, machine.frequency);
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
