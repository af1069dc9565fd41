// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "SensorMachine.h"
#include "hardware/LoadableDriver.h"
#include "hardware/ProcessorTemperatureSensor.h"
#include "hardware/TemperatureInputs.h"
#include "hardware/ThermalZone.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace calidra {
namespace {

// The zone found, "<type> (<folder>) <degrees>", or "none".
QString found(const FixtureTree& tree)
{
    const std::optional<ThermalZone> zone = ThermalZone::find(QFile::encodeName(tree.root()));
    const std::optional<qint32> millidegrees = zone ? zone->temp->read() : std::nullopt;
    return zone ? zone->description + u' ' +
                      QString::number(ThermalZone::celsius(millidegrees.value_or(0)))
                : u"none"_qs;
}

// Older kernels type the package zone "pkg-temp-0", older Raspberry Pi kernels the SoC's
// "bcm2835_thermal": each is ranked for what it measures. acpitz only without a better one.
TEST(ThermalZoneTest, TheBestReadableZoneIsChosenAndBadZonesArePassedOver)
{
    // clang-format off
    const std::pair<const char*, std::optional<int>> ranks[] = {
        {"x86_pkg_temp", 0}, {"X86_PKG_TEMP", 0}, {"pkg-temp-0", 0}, {"pkg-temp-1", 0}, {"TCPU", 1},
        {"B0D4", 1}, {"b0d4", 1}, {"cpu-thermal", 2}, {"cpu_thermal", 2}, {"CPU0-thermal", 2},
        {"CPU-therm", 2}, {"soc-thermal", 3}, {"SoC_Thermal", 3}, {"soc_dts0", 3}, {"bcm2835_thermal", 3},
        {"acpitz", 4}, {"gpu-thermal", {}}, {"pch_skylake", {}}, {"iwlwifi_1", {}}, {"INT3400 Thermal", {}},
        {"B0D4x", {}}, {"TCPU_ORC", {}}, {"pkg-temp", {}}, {"bcm2835", {}}, {"", {}}};
    for (const auto& [type, rank] : ranks)
        EXPECT_EQ(ThermalZone::rank(type), rank) << type;
    // Zones set one after the other, each with the zone then found.
    using Steps = std::vector<std::tuple<int, const char*, const char*, const char*>>;
    const Steps machines[] = {
        {{0, "acpitz", "40000", "acpitz (thermal_zone0) 40"}, {3, "cpu1-thermal", "47000", "cpu1-thermal (thermal_zone3) 47"},
         {2, "cpu0-thermal", "46500", "cpu0-thermal (thermal_zone2) 46.5"},
         {5, "gpu-thermal", "90000", "cpu0-thermal (thermal_zone2) 46.5"},
         {7, "x86_pkg_temp", "55000", "x86_pkg_temp (thermal_zone7) 55"}},
        {{0, "acpitz", "57000", "acpitz (thermal_zone0) 57"}, {1, "acpitz", "65000", "acpitz (thermal_zone0) 57"},
         {3, "pch_skylake", "46000", "acpitz (thermal_zone0) 57"}, {5, "pkg-temp-0", "44000", "pkg-temp-0 (thermal_zone5) 44"},
         {6, "bcm2835_thermal", "42932", "pkg-temp-0 (thermal_zone5) 44"}, {7, "B0D4", "61000", "pkg-temp-0 (thermal_zone5) 44"},
         {5, "pkg-temp-0", "0", "B0D4 (thermal_zone7) 61"}, // not measured yet
         {7, "B0D4", "", "bcm2835_thermal (thermal_zone6) 42.932"}},
    };
    // clang-format on
    for (const Steps& steps : machines) {
        FixtureTree tree;
        EXPECT_EQ(found(tree), u"none"_qs); // no thermal folder at all
        for (const auto& [number, type, temp, zone] : steps) {
            tree.addThermalZone(number, type, temp);
            EXPECT_EQ(found(tree), QString::fromUtf8(zone)) << number << ' ' << type << ' ' << temp;
        }
    }
    // A search stops at its time, not at a count.
    FixtureTree tree;
    for (int number = 0; number < 999; ++number)
        tree.addFile(u"sys/class/thermal/thermal_zone%1/type"_qs.arg(number), "iwlwifi_1\n");
    tree.addThermalZone(999, "x86_pkg_temp", "52000");
    EXPECT_EQ(found(tree), u"x86_pkg_temp (thermal_zone999) 52"_qs);
    EXPECT_FALSE(
        ThermalZone::find(QFile::encodeName(tree.root()), std::chrono::steady_clock::now()));

    FixtureTree bad;
    // clang-format off
    const std::tuple<int, const char*, QByteArray> zones[] = {
        {0, "acpitz", "40000"}, {1, "x86_pkg_temp", "hot"}, {2, "cpu-thermal", "-40000"}, {3, "cpu-thermal", "250000"},
        {12, "cpu-thermal", "200001"}, {13, "cpu-thermal", "2147483647"}, {14, "cpu-thermal", "-2147483648"},
        {15, "cpu-thermal", "9223372036854775807"}, {4, "cpu-thermal", "0"}, {5, "cpu-thermal", ""},
        {6, "cpu-thermal", QByteArray(8192, '4')}};
    // clang-format on
    for (const auto& [number, type, temp] : zones)
        bad.addThermalZone(number, type, temp);
    const QString zone = u"sys/class/thermal/thermal_zone%1"_qs;
    bad.addSymlink(zone.arg(7), bad.absolute(zone.arg(7))); // a loop
    bad.addSymlink(zone.arg(8), bad.absolute(u"gone"_qs));
    bad.addFile(zone.arg(9) + u"/type"_qs, "cpu-thermal\n");
    bad.addUnreadable(zone.arg(9) + u"/temp"_qs);
    bad.addFile(zone.arg(10) + u"/type"_qs, "cpu-thermal\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(bad.absolute(zone.arg(10) + u"/temp"_qs)), 0600), 0);
    bad.addFile(zone.arg(11) + u"/temp"_qs, "50000\n"); // no type
    bad.addFile(zone.arg(u"x"_qs) + u"/type"_qs, "cpu-thermal\n");
    bad.addFile(zone.arg(u"x"_qs) + u"/temp"_qs, "50000\n");
    EXPECT_EQ(found(bad), u"acpitz (thermal_zone0) 40"_qs);
}

// One change to the machine, then what the next reading answers.
TEST(ProcessorTemperatureSensorTest, AnswersATemperatureOrWhyThereIsNone)
{
    using Input = ProcessorTemperatureSensor::Input;
    using Outcome = ProcessorTemperatureSensor::Outcome;
    using Change = std::function<void(FixtureTree&)>;
    using Answer = std::tuple<Outcome, float, std::optional<qint32>, std::optional<QString>>;
    using Steps = std::vector<std::pair<Change, Answer>>;
    const QString device = u"sys/class/hwmon/hwmon0/"_qs, channel = device + u"temp1_input"_qs;
    // clang-format off
    const auto file = [](QString path, QByteArray text) -> Change { return [=](FixtureTree& t) { t.addFile(path, text); }; };
    const auto remove = [](QString path) -> Change { return [=](FixtureTree& t) { t.remove(path); }; };
    const auto coretemp = [](QByteArray temp) -> Change { return [=](FixtureTree& t) { t.addHwmon(0, "coretemp", {{"Package id 0", temp}}); }; };
    const auto zone = [](QByteArray type, QByteArray temp) -> Change { return [=](FixtureTree& t) { t.addThermalZone(0, type, temp); }; };
    const Change keep = [](FixtureTree&) {};
    // A removed device's kept file fails with ENODEV, an unlinked fixture file once empty.
    const Change unplug = [=](FixtureTree& tree) {
        tree.addFile(channel, "");
        tree.remove(device);
    };
    const std::optional<QString> package = u"coretemp, Package id 0"_qs;
    const std::optional<QString> cpu = u"cpu-thermal (thermal_zone0)"_qs;
    const auto is = [](Outcome outcome, float celsius, std::optional<qint32> value,
                       std::optional<QString> sensor) { return Answer(outcome, celsius, value, sensor); };
    const auto temp = [&](float celsius, qint32 value) { return is(Outcome::Temperature, celsius, value, package); };
    const Answer silent = is(Outcome::NoReading, 0, {}, package), none = is(Outcome::NoSensor, 0, {}, {});
    const Answer gone = is(Outcome::NoSensor, 0, {}, package), at52 = temp(52, 52);
    const std::tuple<const char*, Input, Steps> rows[] = {
        {"NoDriverIsNoSensorADriverWithoutChannelsNoReading", Input::DriverChannels,
         {{keep, none}, {file(device + u"name"_qs, "coretemp\n"), is(Outcome::NoReading, 0, {}, {})}}},
        {"ChannelReadInWholeDegreesVanishesAndReturns", Input::DriverChannels,
         {{coretemp("45500"), temp(46, 46)}, {unplug, gone}, {coretemp("61000"), temp(61, 61)}}},
        // A device whose name cannot be read is passed over; a kept channel
        // reads on without its name and label, until it fails.
        {"KeptChannelsReadUntilTheyFail", Input::DriverChannels,
         {{[](FixtureTree& tree) { tree.addUnreadable(u"sys/class/hwmon/hwmon1/name"_qs); }, none},
          {coretemp("52000"), at52}, {remove(device + u"name"_qs), at52}, {remove(device + u"temp1_label"_qs), at52},
          {file(channel, "107000\n"), temp(107, 107)}, {unplug, gone}}},
        {"ChannelThatFailsWhileItsDriverStaysGivesNoReading", Input::DriverChannels,
         {{coretemp("52000"), at52}, {file(channel, "hot\n"), silent}, {file(channel, ""), silent},
          {file(channel, QByteArray(8192, '7')), silent},
          {[=](FixtureTree& tree) { // reading at offset 0 fails with EIO
               tree.remove(channel);
               tree.addSymlink(channel, u"/proc/self/mem"_qs);
           }, silent}}},
        {"ImplausibleValuesAreNoTemperatureButKeepTheirValue", Input::DriverChannels,
         {{coretemp("250000"), is(Outcome::Implausible, 0, 250, package)},
          {coretemp("0"), is(Outcome::Implausible, 0, 0, package)}, {coretemp("52000"), at52}}},
        // A zone that goes bad is let go; the next search finds none that reads.
        {"ZoneReadsToTheThousandthUntilItGoesBad", Input::ThermalZone,
         {{zone("gpu-thermal", "50000"), none}, {zone("cpu-thermal", "46500"), is(Outcome::Temperature, 46.5F, 46500, cpu)},
          {zone("cpu-thermal", "-5000"), is(Outcome::Implausible, 0, -5000, cpu)}, {keep, is(Outcome::NoSensor, 0, {}, cpu)},
          {zone("cpu-thermal", "47000"), is(Outcome::Temperature, 47, 47000, cpu)}}},
    };
    // clang-format on
    for (const auto& [name, input, steps] : rows) {
        FixtureTree tree;
        ProcessorTemperatureSensor sensor(input, QFile::encodeName(tree.root()));
        for (size_t step = 0; step < steps.size(); ++step) {
            steps[step].first(tree);
            const ProcessorTemperatureSensor::Reading r = sensor.read();
            EXPECT_EQ(Answer(r.outcome, r.celsius, r.value, r.sensor), steps[step].second)
                << name << " step " << step;
        }
    }
}

// Each input's name, identity text and value.
using Listed = std::tuple<QString, QString, std::optional<float>>;
std::vector<Listed> listed(const FixtureTree& tree)
{
    std::vector<Listed> inputs;
    for (const TemperatureInput& input : listTemperatureInputs(tree.root().toUtf8()))
        inputs.emplace_back(input.name, input.identity.text(), input.readCelsius());
    return inputs;
}

// hwmon nodes and NVMe controllers are numbered as each boot probes them.
TEST(TemperatureInputsTest, EveryInputByItsNameAndIdentityWhicheverNumbersTheBootGives)
{
    FixtureTree tree;
    SensorMachine::add(tree);
    const auto hwmon = [](const QString& device, const char* driver, const char* label) {
        return u"{\"device\":\"%1\",\"driver\":\"%2\",\"label\":\"%3\"}"_qs.arg(
            device, QString::fromUtf8(driver), QString::fromUtf8(label));
    };
    const QString gpu = SensorMachine::GpuDevice, drive = SensorMachine::DriveDevice;
    const QString core = u"platform/coretemp.0"_qs, board = u"platform/nct6775.656"_qs;
    // clang-format off
    const std::vector<Listed> expected{
        {u"acpitz, temp1"_qs, u"{\"channel\":1,\"driver\":\"acpitz\"}"_qs, 27.8F},
        {u"amdgpu, edge"_qs, SensorMachine::gpuEdge(), 48.0F},
        {u"amdgpu, junction"_qs, hwmon(gpu, "amdgpu", "junction"), 51.0F},
        {u"amdgpu, mem"_qs, hwmon(gpu, "amdgpu", "mem"), 50.0F},
        {u"coretemp, Package id 0"_qs, hwmon(core, "coretemp", "Package id 0"), 55.0F},
        {u"coretemp, Core 0"_qs, hwmon(core, "coretemp", "Core 0"), 53.0F},
        {u"coretemp, Core 1"_qs, hwmon(core, "coretemp", "Core 1"), 54.0F},
        {u"nct6798, SYSTIN"_qs, hwmon(board, "nct6798", "SYSTIN"), 35.0F},
        {u"nct6798, CPUTIN"_qs, hwmon(board, "nct6798", "CPUTIN"), 41.5F},
        {u"nct6798, AUXTIN0"_qs, hwmon(board, "nct6798", "AUXTIN0"), std::nullopt},
        {u"nvme, Composite"_qs, hwmon(drive, "nvme", "Composite"), 39.85F}, // not its controller nvme0
        {u"nvme, Sensor 1"_qs, hwmon(drive, "nvme", "Sensor 1"), 39.85F},
        {u"nvme, Sensor 2"_qs, hwmon(drive, "nvme", "Sensor 2"), 45.85F},
        {u"acpitz (zone 0)"_qs, u"{\"device\":\"%1\",\"zone\":\"acpitz\"}"_qs.arg(SensorMachine::ZoneDevice), 27.8F},
        {u"x86_pkg_temp (zone 1)"_qs, u"{\"index\":0,\"zone\":\"x86_pkg_temp\"}"_qs, 55.0F},
    };
    // clang-format on
    EXPECT_EQ(listed(tree), expected);
    FixtureTree renumbered;
    SensorMachine::add(
        renumbered,
        {.coretemp = 5, .amdgpu = 0, .nvme = 3, .board = 1, .acpitz = 2, .controller = 1});
    EXPECT_EQ(listed(renumbered), expected);
    const std::vector<TemperatureInput> inputs = listTemperatureInputs(renumbered.root().toUtf8());
    const std::vector<const TemperatureInput*> edge =
        matchingInputs(inputs, *TemperatureInputIdentity::fromText(SensorMachine::gpuEdge()));
    ASSERT_EQ(edge.size(), 1U);
    EXPECT_EQ(edge.front()->path,
              renumbered.root().toUtf8() + "/sys/class/hwmon/hwmon0/temp1_input");

    // Two inputs of one driver and label are told apart by their devices, or not at all.
    FixtureTree pci;
    for (const auto& [number, device] : {std::pair(0, u"pci0000:00/0000:00:18.3"_qs),
                                         std::pair(1, u"pci0000:00/0000:00:19.3"_qs)}) {
        pci.addBusDevice(device, u"pci"_qs);
        pci.addDeviceHwmon(device, number, "k10temp", {{"Tctl", "60000"}});
    }
    pci.addHwmon(2, "spd5118", {{nullptr, "31000"}});
    pci.addHwmon(3, "spd5118", {{nullptr, "32000"}});
    const std::vector<TemperatureInput> twins = listTemperatureInputs(pci.root().toUtf8());
    std::vector<std::pair<QString, bool>> names;
    for (const TemperatureInput& input : twins)
        names.emplace_back(input.name, input.unique);
    EXPECT_EQ(names,
              (std::vector<std::pair<QString, bool>>{{u"k10temp, Tctl (0000:00:18.3)"_qs, true},
                                                     {u"k10temp, Tctl (0000:00:19.3)"_qs, true},
                                                     {u"spd5118, temp1"_qs, false},
                                                     {u"spd5118, temp1"_qs, false}}));
    EXPECT_EQ(matchingInputs(twins, twins.back().identity).size(), 2U);
}

// What a settings file may hold: only the one form reads, as the text after it (null: none).
TEST(TemperatureInputsTest, AnIdentityReadsOnlyFromItsOwnTextForm)
{
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {R"({"label":"edge","driver":"amdgpu","device":"pci0000:00/0000:00:01.1"})",
         R"({"device":"pci0000:00/0000:00:01.1","driver":"amdgpu","label":"edge"})"},
        {R"( {"channel": 3.0, "driver": "acpitz"} )", R"({"channel":3,"driver":"acpitz"})"},
        {R"({"driver":"k\u00e4lte","label":"a\"b,c\\d"})", R"({"driver":"kälte","label":"a\"b,c\\d"})"},
        {R"({"index":2,"zone":"acpitz"})", R"({"index":2,"zone":"acpitz"})"},
        {R"({"device":"LNXTHERM:00","zone":"acpitz"})", R"({"device":"LNXTHERM:00","zone":"acpitz"})"},
        {"", nullptr}, {"amdgpu, edge", nullptr}, {R"({"driver":"amdgpu","label":"edge")", nullptr},
        {R"({"driver":"amdgpu"})", nullptr}, {R"({"driver":"","label":"edge"})", nullptr},
        {R"({"driver":"amdgpu","label":""})", nullptr}, {R"({"driver":"amdgpu","label":"edge","channel":1})", nullptr},
        {R"({"driver":"amdgpu","label":"edge","device":""})", nullptr},
        {R"({"driver":"amdgpu","label":"edge","serial":"x"})", nullptr}, {R"({"driver":"acpitz","channel":0})", nullptr},
        {R"({"driver":"acpitz","channel":1.5})", nullptr}, {R"({"driver":"acpitz","channel":1e12})", nullptr},
        {R"({"driver":"acpitz","channel":"1"})", nullptr}, {R"({"zone":"acpitz"})", nullptr},
        {R"({"zone":"acpitz","index":-1})", nullptr}, {R"({"zone":"acpitz","index":0,"device":"LNXTHERM:00"})", nullptr},
        {R"({"driver":"amdgpu","zone":"acpitz","index":0})", nullptr},
    };
    // clang-format on
    for (const auto& [text, reads] : rows) {
        const auto identity = TemperatureInputIdentity::fromText(QString::fromUtf8(text));
        EXPECT_EQ(identity ? std::optional(identity->text()) : std::nullopt,
                  reads ? std::optional(QString::fromUtf8(reads)) : std::nullopt)
            << text;
    }
}

// The machine's /proc/cpuinfo (empty: none), its release, a module file (empty:
// none), its modules.dep (empty: none, null: no regular file), then the
// verdict and the driver.
TEST(LoadableDriverTest, OffersOnlyAModuleThatIsThereAndDrivesThisProcessor)
{
    using Verdict = LoadableDriver::Verdict;
    constexpr auto cpuinfo = &FixtureTree::cpuinfo;
    const QByteArray intelFlags =
        "fpu vme de pse tsc msr ht tm pbe syscall nx dtherm ida arat pln pts";
    const QByteArray amdFlags = "fpu vme de pse tsc msr pae mce cx8 apic sep mtrr svm extapic";
    const QByteArray intel = cpuinfo("GenuineIntel", "6", intelFlags);
    const QByteArray zen3 = cpuinfo("AuthenticAMD", "25", amdFlags);
    const auto amd = [&](const char* family) { return cpuinfo("AuthenticAMD", family, amdFlags); };
    const QByteArray release = "6.1.0-18-amd64";
    const QString coretemp = u"kernel/drivers/hwmon/coretemp.ko"_qs;
    const QString k10temp = u"kernel/drivers/hwmon/k10temp.ko.xz"_qs;
    constexpr Verdict Loadable = Verdict::Loadable, NoModule = Verdict::NoModule,
                      Unsupported = Verdict::UnsupportedProcessor;
    const QByteArray other = "6.1.0-17-amd64", slash = "6.1.0-18-amd64/../6.1.0-18-amd64";
    // clang-format off
    const std::tuple<const char*, QByteArray, std::optional<QByteArray>, QString, const char*, Verdict, QByteArray>
        machines[] = {
        {"IntelWithItsModule", intel, release, coretemp, "", Loadable, "coretemp"},
        {"CompressedModule", zen3, release, u"kernel/drivers/hwmon/k10temp.ko.zst"_qs, "", Loadable, "k10temp"},
        {"ModuleThatModulesDepNames", zen3, release, {},
         "kernel/drivers/hwmon/nct6775.ko.xz: kernel/drivers/hwmon/hwmon-vid.ko.xz\nupdates/dkms/k10temp.ko:\n",
         Loadable, "k10temp"},
        {"ModuleOnlyADependency", zen3, release, {},
         "kernel/drivers/hwmon/k10temp-extra.ko: kernel/drivers/hwmon/k10temp.ko\nkernel/drivers/hwmon/k10temp.ko.orig:\n",
         NoModule, "k10temp"},
        {"ModuleListThatIsNoFile", amd("23"), release, {}, nullptr, NoModule, "k10temp"}, // nothing waits on it
        {"HygonFamily18h", cpuinfo("HygonGenuine", "24", amdFlags), release, k10temp, "", Loadable, "k10temp"},
        {"AmdFamily10h", amd("16"), release, k10temp, "", Loadable, "k10temp"},
        {"AmdFamily1Ah", amd("26"), release, k10temp, "", Loadable, "k10temp"},
        // The Athlon 64 (family 0Fh) has k8temp, and 13h never shipped.
        {"AmdFamily0Fh", amd("15"), release, k10temp, "", Unsupported, "k10temp"},
        {"AmdFamily13h", amd("19"), release, k10temp, "", Unsupported, "k10temp"},
        {"AmdWithoutFamily", amd(nullptr), release, k10temp, "", Unsupported, "k10temp"},
        {"AmdFamilyNoNumber", amd("2x"), release, k10temp, "", Unsupported, "k10temp"},
        // "dts" is the debug store, not the thermal sensor.
        {"IntelWithoutThermalSensor", cpuinfo("GenuineIntel", "15", "fpu vme de pse tsc msr dts acpi mmx"),
         release, coretemp, "", Unsupported, "coretemp"},
        {"VirtualMachine", cpuinfo("GenuineIntel", "6", intelFlags + " hypervisor"), release, coretemp, "",
         Verdict::Hypervisor, "coretemp"},
        {"KernelWithoutTheModule", intel, release, u"kernel/drivers/hwmon/k10temp.ko"_qs,
         "kernel/drivers/hwmon/nct6775.ko:\n", NoModule, "coretemp"},
        {"ModuleOfAnotherKernel", intel, other, coretemp, "", NoModule, "coretemp"},
        {"NoRelease", intel, std::nullopt, coretemp, "", NoModule, "coretemp"},
        {"ReleaseLeavingTheFolder", intel, QByteArray(".."), coretemp, "", NoModule, "coretemp"},
        {"ReleaseWithASlash", intel, slash, coretemp, "", NoModule, "coretemp"},
        {"OtherVendor", cpuinfo("CentaurHauls", "6", intelFlags), release, coretemp, "", Verdict::NoDriverForVendor, {}},
        {"NoCpuinfo", {}, release, coretemp, "", Verdict::NoDriverForVendor, {}},
    };
    // clang-format on
    const QString modules = u"lib/modules/6.1.0-18-amd64/"_qs;
    for (const auto& [name, processor, osrelease, moduleFile, modulesDep, verdict, driver] :
         machines) {
        FixtureTree tree;
        if (!processor.isEmpty())
            tree.addFile(u"proc/cpuinfo"_qs, processor);
        if (osrelease)
            tree.addFile(u"proc/sys/kernel/osrelease"_qs, *osrelease + '\n');
        tree.addFolder(u"lib/modules/6.1.0-17-amd64"_qs);
        if (!moduleFile.isEmpty())
            tree.addFile(modules + moduleFile, "\177ELF");
        if (!modulesDep) {
            tree.addUnreadable(modules + u"modules.dep"_qs);
        } else if (*modulesDep) {
            tree.addFile(modules + u"modules.dep"_qs, modulesDep);
        }
        const auto finding = LoadableDriver::examine(QFile::encodeName(tree.root()));
        EXPECT_EQ(finding.verdict, verdict) << name << ": " << finding.explanation.toStdString();
        EXPECT_EQ(finding.driver, driver) << name;
        EXPECT_FALSE(finding.explanation.isEmpty()) << name;
    }
}

} // namespace
} // namespace calidra
