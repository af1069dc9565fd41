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
const QString Channel = Device + u"temp1_input"_qs;

void keep(FixtureTree&)
{}

// Writes `text` to the file at `path`, making the folders it needs.
Change file(const QString& path, const QByteArray& text)
{
    return [=](FixtureTree& tree) { tree.addFile(path, text); };
}

Change remove(const QString& path)
{
    return [=](FixtureTree& tree) { tree.remove(path); };
}

// A coretemp device whose Package id 0 reads `millidegrees`.
Change coretemp(const QByteArray& millidegrees)
{
    return [=](FixtureTree& tree) {
        tree.addHwmon(0, "coretemp", {{"Package id 0", millidegrees}});
    };
}

Change zone(const QByteArray& type, const QByteArray& temp)
{
    return [=](FixtureTree& tree) { tree.addThermalZone(0, type, temp); };
}

// One change to the machine, then what the next reading answers: its outcome,
// temperature, value and sensor.
using Answer = std::tuple<Outcome, float, std::optional<qint32>, std::optional<QString>>;
using Steps = std::vector<std::pair<Change, Answer>>;

TEST(ProcessorTemperatureSensorTest, AnswersATemperatureOrWhyThereIsNone)
{
    const std::optional<QString> package = u"coretemp, Package id 0"_qs;
    const std::optional<QString> cpu = u"cpu-thermal (thermal_zone0)"_qs;
    const Answer silent{Outcome::NoReading, 0.0F, {}, package};
    // A removed device's kept file fails with ENODEV, an unlinked fixture file once empty.
    const Change unplug = [](FixtureTree& tree) {
        tree.addFile(Channel, "");
        tree.remove(Device);
    };
    // clang-format off
    const std::tuple<const char*, Input, Steps> rows[] = {
        {"NoDriverIsNoSensorADriverWithoutChannelsNoReading", Input::DriverChannels,
         {{keep, {Outcome::NoSensor, 0.0F, {}, {}}},
          {file(Device + u"name"_qs, "coretemp\n"), {Outcome::NoReading, 0.0F, {}, {}}}}},
        {"ChannelReadInWholeDegreesVanishesAndReturns", Input::DriverChannels,
         {{coretemp("45500"), {Outcome::Temperature, 46.0F, 46, package}},
          {unplug, {Outcome::NoSensor, 0.0F, {}, package}}, // named as the one found last
          {coretemp("61000"), {Outcome::Temperature, 61.0F, 61, package}}}},
        // A device whose name cannot be read is passed over; a kept channel
        // reads on without its name and label, until it fails.
        {"KeptChannelsReadUntilTheyFail", Input::DriverChannels,
         {{[](FixtureTree& tree) { tree.addUnreadable(u"sys/class/hwmon/hwmon1/name"_qs); },
           {Outcome::NoSensor, 0.0F, {}, {}}},
          {coretemp("52000"), {Outcome::Temperature, 52.0F, 52, package}},
          {remove(Device + u"name"_qs), {Outcome::Temperature, 52.0F, 52, package}},
          {remove(Device + u"temp1_label"_qs), {Outcome::Temperature, 52.0F, 52, package}},
          {file(Channel, "107000\n"), {Outcome::Temperature, 107.0F, 107, package}},
          {unplug, {Outcome::NoSensor, 0.0F, {}, package}}}},
        {"ChannelThatFailsWhileItsDriverStaysGivesNoReading", Input::DriverChannels,
         {{coretemp("52000"), {Outcome::Temperature, 52.0F, 52, package}},
          {file(Channel, "hot\n"), silent},
          {file(Channel, ""), silent},
          {file(Channel, QByteArray(8192, '7')), silent},
          {[](FixtureTree& tree) { // reading at offset 0 fails with EIO
               tree.remove(Channel);
               tree.addSymlink(Channel, u"/proc/self/mem"_qs);
           }, silent}}},
        {"ImplausibleValuesAreNoTemperatureButKeepTheirValue", Input::DriverChannels,
         {{coretemp("250000"), {Outcome::Implausible, 0.0F, 250, package}},
          {coretemp("0"), {Outcome::Implausible, 0.0F, 0, package}},
          {coretemp("52000"), {Outcome::Temperature, 52.0F, 52, package}}}},
        // A zone that goes bad is let go; the next search finds none that reads.
        {"ZoneReadsToTheThousandthUntilItGoesBad", Input::ThermalZone,
         {{zone("gpu-thermal", "50000"), {Outcome::NoSensor, 0.0F, {}, {}}},
          {zone("cpu-thermal", "46500"), {Outcome::Temperature, 46.5F, 46500, cpu}},
          {zone("cpu-thermal", "-5000"), {Outcome::Implausible, 0.0F, -5000, cpu}},
          {keep, {Outcome::NoSensor, 0.0F, {}, cpu}},
          {zone("cpu-thermal", "47000"), {Outcome::Temperature, 47.0F, 47000, cpu}}}},
    };
    // clang-format on
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
