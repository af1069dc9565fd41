// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/TemperatureInputs.h"

#include "FixtureTree.h"
#include "QtPrinters.h"
#include "SensorMachine.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace calidra {
namespace {

// Each input's name, identity text and value.
using Listed = std::tuple<QString, QString, std::optional<float>>;

std::vector<Listed> listed(const FixtureTree& tree)
{
    std::vector<Listed> inputs;
    for (const TemperatureInput& input : listTemperatureInputs(tree.root().toUtf8())) {
        inputs.emplace_back(input.name, input.identity.text(), input.readCelsius());
    }
    return inputs;
}

QString hwmon(const QString& device, const QString& driver, const QString& label)
{
    return u"{\"device\":\"%1\",\"driver\":\"%2\",\"label\":\"%3\"}"_qs.arg(device, driver, label);
}

TEST(TemperatureInputsTest, EveryInputByItsNameAndIdentityInTheOrderOfTheirNames)
{
    FixtureTree tree;
    SensorMachine::add(tree);
    const QString gpu = SensorMachine::GpuDevice;
    const QString drive = SensorMachine::DriveDevice; // not its controller nvme0
    const QString core = u"platform/coretemp.0"_qs;
    const QString board = u"platform/nct6775.656"_qs;
    const std::vector<Listed> expected{
        {u"acpitz, temp1"_qs, u"{\"channel\":1,\"driver\":\"acpitz\"}"_qs, 27.8F},
        {u"amdgpu, edge"_qs, SensorMachine::gpuEdge(), 48.0F},
        {u"amdgpu, junction"_qs, hwmon(gpu, u"amdgpu"_qs, u"junction"_qs), 51.0F},
        {u"amdgpu, mem"_qs, hwmon(gpu, u"amdgpu"_qs, u"mem"_qs), 50.0F},
        {u"coretemp, Package id 0"_qs, hwmon(core, u"coretemp"_qs, u"Package id 0"_qs), 55.0F},
        {u"coretemp, Core 0"_qs, hwmon(core, u"coretemp"_qs, u"Core 0"_qs), 53.0F},
        {u"coretemp, Core 1"_qs, hwmon(core, u"coretemp"_qs, u"Core 1"_qs), 54.0F},
        {u"nct6798, SYSTIN"_qs, hwmon(board, u"nct6798"_qs, u"SYSTIN"_qs), 35.0F},
        {u"nct6798, CPUTIN"_qs, hwmon(board, u"nct6798"_qs, u"CPUTIN"_qs), 41.5F},
        {u"nct6798, AUXTIN0"_qs, hwmon(board, u"nct6798"_qs, u"AUXTIN0"_qs), std::nullopt},
        {u"nvme, Composite"_qs, hwmon(drive, u"nvme"_qs, u"Composite"_qs), 39.85F},
        {u"nvme, Sensor 1"_qs, hwmon(drive, u"nvme"_qs, u"Sensor 1"_qs), 39.85F},
        {u"nvme, Sensor 2"_qs, hwmon(drive, u"nvme"_qs, u"Sensor 2"_qs), 45.85F},
        {u"acpitz (zone 0)"_qs,
         u"{\"device\":\"%1\",\"zone\":\"acpitz\"}"_qs.arg(SensorMachine::ZoneDevice), 27.8F},
        {u"x86_pkg_temp (zone 1)"_qs, u"{\"index\":0,\"zone\":\"x86_pkg_temp\"}"_qs, 55.0F},
    };
    EXPECT_EQ(listed(tree), expected);
}

// hwmon nodes and NVMe controllers are numbered as each boot probes them.
TEST(TemperatureInputsTest, AnInputKeepsItsIdentityWhenTheBootNumbersItsNodesAnew)
{
    FixtureTree first;
    SensorMachine::add(first);
    FixtureTree renumbered;
    SensorMachine::add(
        renumbered,
        {.coretemp = 5, .amdgpu = 0, .nvme = 3, .board = 1, .acpitz = 2, .controller = 1});
    EXPECT_EQ(listed(renumbered), listed(first));
    const std::vector<TemperatureInput> inputs = listTemperatureInputs(renumbered.root().toUtf8());
    const std::vector<const TemperatureInput*> edge =
        matchingInputs(inputs, *TemperatureInputIdentity::fromText(SensorMachine::gpuEdge()));
    ASSERT_EQ(edge.size(), 1U);
    EXPECT_EQ(edge.front()->path,
              renumbered.root().toUtf8() + "/sys/class/hwmon/hwmon0/temp1_input");
}

// Two devices of one driver and label are told apart by their devices, in
// their names too; without a device nothing tells them apart.
TEST(TemperatureInputsTest, InputsOfOneNameAreToldApartByTheirDevicesOrNotAtAll)
{
    FixtureTree tree;
    for (const auto& [number, device] : {std::pair(0, u"pci0000:00/0000:00:18.3"_qs),
                                         std::pair(1, u"pci0000:00/0000:00:19.3"_qs)}) {
        tree.addBusDevice(device, u"pci"_qs);
        tree.addDeviceHwmon(device, number, "k10temp", {{"Tctl", "60000"}});
    }
    tree.addHwmon(2, "spd5118", {{nullptr, "31000"}});
    tree.addHwmon(3, "spd5118", {{nullptr, "32000"}});
    const std::vector<TemperatureInput> inputs = listTemperatureInputs(tree.root().toUtf8());
    std::vector<std::pair<QString, bool>> names;
    for (const TemperatureInput& input : inputs) {
        names.emplace_back(input.name, input.unique);
    }
    EXPECT_EQ(names,
              (std::vector<std::pair<QString, bool>>{{u"k10temp, Tctl (0000:00:18.3)"_qs, true},
                                                     {u"k10temp, Tctl (0000:00:19.3)"_qs, true},
                                                     {u"spd5118, temp1"_qs, false},
                                                     {u"spd5118, temp1"_qs, false}}));
    EXPECT_EQ(matchingInputs(inputs, inputs.back().identity).size(), 2U);
}

// What a settings file may hold under the key: only the one form reads.
TEST(TemperatureInputsTest, AnIdentityReadsOnlyFromItsOwnTextForm)
{
    const std::pair<const char*, const char*> rows[] = {
        // text, then the text it reads as (null: none)
        {R"({"label":"edge","driver":"amdgpu","device":"pci0000:00/0000:00:01.1"})",
         R"({"device":"pci0000:00/0000:00:01.1","driver":"amdgpu","label":"edge"})"},
        {R"( {"channel": 3.0, "driver": "acpitz"} )", R"({"channel":3,"driver":"acpitz"})"},
        {R"({"driver":"k\u00e4lte","label":"a\"b,c\\d"})",
         R"({"driver":"kälte","label":"a\"b,c\\d"})"},
        {R"({"index":2,"zone":"acpitz"})", R"({"index":2,"zone":"acpitz"})"},
        {R"({"device":"LNXTHERM:00","zone":"acpitz"})",
         R"({"device":"LNXTHERM:00","zone":"acpitz"})"},
        {"", nullptr},
        {"amdgpu, edge", nullptr},
        {R"({"driver":"amdgpu","label":"edge")", nullptr},
        {R"({"driver":"amdgpu"})", nullptr},
        {R"({"driver":"","label":"edge"})", nullptr},
        {R"({"driver":"amdgpu","label":""})", nullptr},
        {R"({"driver":"amdgpu","label":"edge","channel":1})", nullptr},
        {R"({"driver":"amdgpu","label":"edge","device":""})", nullptr},
        {R"({"driver":"amdgpu","label":"edge","serial":"x"})", nullptr},
        {R"({"driver":"acpitz","channel":0})", nullptr},
        {R"({"driver":"acpitz","channel":1.5})", nullptr},
        {R"({"driver":"acpitz","channel":1e12})", nullptr},
        {R"({"driver":"acpitz","channel":"1"})", nullptr},
        {R"({"zone":"acpitz"})", nullptr},
        {R"({"zone":"acpitz","index":-1})", nullptr},
        {R"({"zone":"acpitz","index":0,"device":"LNXTHERM:00"})", nullptr},
        {R"({"driver":"amdgpu","zone":"acpitz","index":0})", nullptr},
    };
    for (const auto& [text, reads] : rows) {
        const std::optional<TemperatureInputIdentity> identity =
            TemperatureInputIdentity::fromText(QString::fromUtf8(text));
        EXPECT_EQ(identity ? std::optional(identity->text()) : std::nullopt,
                  reads ? std::optional(QString::fromUtf8(reads)) : std::nullopt)
            << text;
    }
}

} // namespace
} // namespace calidra
