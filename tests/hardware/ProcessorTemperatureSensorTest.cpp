// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/ProcessorTemperatureSensor.h"

#include "FixtureTree.h"
#include "QtPrinters.h"

#include <QFile>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>
#include <vector>

namespace calidra {
namespace {

using Input = ProcessorTemperatureSensor::Input;
using Outcome = ProcessorTemperatureSensor::Outcome;
using Change = std::function<void(FixtureTree&)>;

const QString Device = u"sys/class/hwmon/hwmon0/"_qs;

void keep(FixtureTree&)
{}

// Writes `text` to the file at `path`, making the folders it needs.
Change file(const QString& path, const QByteArray& text)
{
    return [=](FixtureTree& tree) { tree.addFile(path, text); };
}

// A coretemp device whose Package id 0 reads `millidegrees`.
Change coretemp(const QByteArray& millidegrees)
{
    return [=](FixtureTree& tree) {
        tree.addFile(Device + u"name"_qs, "coretemp\n");
        tree.addFile(Device + u"temp1_label"_qs, "Package id 0\n");
        tree.addFile(Device + u"temp1_input"_qs, millidegrees + '\n');
    };
}

Change zone(const QByteArray& type, const QByteArray& temp)
{
    return [=](FixtureTree& tree) {
        tree.addFile(u"sys/class/thermal/thermal_zone0/type"_qs, type + '\n');
        tree.addFile(u"sys/class/thermal/thermal_zone0/temp"_qs, temp + '\n');
    };
}

// One change to the machine, then what the next reading answers: its outcome,
// temperature, value and sensor.
using Answer = std::tuple<Outcome, float, std::optional<qint32>, std::optional<QString>>;
using Steps = std::vector<std::pair<Change, Answer>>;

TEST(ProcessorTemperatureSensorTest, AnswersATemperatureOrWhyThereIsNone)
{
    const std::optional<QString> package = u"coretemp, Package id 0"_qs;
    const std::optional<QString> cpu = u"cpu-thermal (thermal_zone0)"_qs;
    const std::tuple<const char*, Input, Steps> rows[] = {
        {"NoDriverIsNoSensorADriverWithoutChannelsNoReading",
         Input::DriverChannels,
         {{keep, {Outcome::NoSensor, 0.0F, {}, {}}},
          {file(Device + u"name"_qs, "coretemp\n"), {Outcome::NoReading, 0.0F, {}, {}}}}},
        // A removed device's kept file fails with ENODEV, an unlinked fixture file once empty.
        {"ChannelReadInWholeDegreesVanishesAndReturns",
         Input::DriverChannels,
         {{coretemp("45500"), {Outcome::Temperature, 46.0F, 46, package}},
          {[](FixtureTree& tree) {
               tree.addFile(Device + u"temp1_input"_qs, "");
               tree.remove(Device);
           },
           {Outcome::NoSensor, 0.0F, {}, package}}, // named as the one found last
          {coretemp("61000"), {Outcome::Temperature, 61.0F, 61, package}}}},
        {"ChannelThatFailsWhileItsDriverStaysGivesNoReading",
         Input::DriverChannels,
         {{coretemp("52000"), {Outcome::Temperature, 52.0F, 52, package}},
          {file(Device + u"temp1_input"_qs, "hot\n"), {Outcome::NoReading, 0.0F, {}, package}}}},
        {"ImplausibleValuesAreNoTemperatureButKeepTheirValue",
         Input::DriverChannels,
         {{coretemp("250000"), {Outcome::Implausible, 0.0F, 250, package}},
          {coretemp("0"), {Outcome::Implausible, 0.0F, 0, package}},
          {coretemp("52000"), {Outcome::Temperature, 52.0F, 52, package}}}},
        // A zone that goes bad is let go; the next search finds none that reads.
        {"ZoneReadsToTheThousandthUntilItGoesBad",
         Input::ThermalZone,
         {{zone("gpu-thermal", "50000"), {Outcome::NoSensor, 0.0F, {}, {}}},
          {zone("cpu-thermal", "46500"), {Outcome::Temperature, 46.5F, 46500, cpu}},
          {zone("cpu-thermal", "-5000"), {Outcome::Implausible, 0.0F, -5000, cpu}},
          {keep, {Outcome::NoSensor, 0.0F, {}, cpu}},
          {zone("cpu-thermal", "47000"), {Outcome::Temperature, 47.0F, 47000, cpu}}}},
    };
    for (const auto& [name, input, steps] : rows) {
        SCOPED_TRACE(name);
        FixtureTree tree;
        ProcessorTemperatureSensor sensor(input, QFile::encodeName(tree.root()));
        for (size_t step = 0; step < steps.size(); ++step) {
            steps[step].first(tree);
            const ProcessorTemperatureSensor::Reading reading = sensor.read();
            EXPECT_EQ(Answer(reading.outcome, reading.celsius, reading.value, reading.sensor),
                      steps[step].second)
                << "step " << step;
        }
    }
}

} // namespace
} // namespace calidra
