// SPDX-License-Identifier: GPL-3.0-or-later
#include "GaugeTestBase.h"
#include "measurement/Gauge.h"

#include <ostream>
#include <vector>

namespace calidra {
namespace {

// Machines as other projects recorded them: each row is what one recording
// shows of a machine's sysfs (hwmon devices with their names, labels and
// values, thermal zones, processor folders) and /proc/cpuinfo, with only what
// a temperature or frequency reader looks at. A value that a recording shows
// in degrees with one decimal ("+22.2°C") is written as millidegrees (22200);
// hwmon channels are numbered temp1, temp2... in the order shown. The source
// of each row is named above it; what a person reading the recording expects
// Calidra to show is at the row's end.

struct Device
{
    int number;
    QByteArray name;
    std::vector<HwmonChannel> channels;
};

struct Zone
{
    int number;
    QByteArray type;
    QByteArray temp;
};

// A file below /sys/devices/system/cpu, or a link there when `link` is set.
struct File
{
    QString path;
    QByteArray contents;
    QString link = {};
};

struct Machine
{
    const char* name;
    QByteArray model; // the device tree's model; empty on a PC
    QByteArray cpuinfo;
    std::vector<Device> hwmon;
    std::vector<Zone> zones;
    std::vector<File> files; // processor folders
    // What the temperature gauge reads, the sensor About names, and why it
    // reads nothing (empty while it reads).
    float temperature;
    std::optional<QString> sensor;
    QString reason;
    // What the frequency gauge reads; absent where the machine has none.
    std::optional<float> frequency;
};

void PrintTo(const Machine& machine, std::ostream* out)
{
    *out << machine.name;
}

const QByteArray Intel = "processor\t: 0\nvendor_id\t: GenuineIntel\n";
const QByteArray Amd = "processor\t: 0\nvendor_id\t: AuthenticAMD\n";
// The first processor of the i7-8650U laptop that node_exporter and procfs
// both keep as their proc/cpuinfo fixture.
const QByteArray Laptop8650U = "processor\t: 0\nvendor_id\t: GenuineIntel\n"
                               "model name\t: Intel(R) Core(TM) i7-8650U CPU @ 1.90GHz\n"
                               "cpu MHz\t\t: 799.998\n";
const QString CoretempNotLoaded = u"The processor temperature driver (coretemp) is not loaded."_qs;

const std::vector<HwmonChannel> R720Package0 = {
    {"Package id 0", "40000"}, {"Core 0", "38000"}, {"Core 1", "38000"},
    {"Core 2", "40000"},       {"Core 3", "38000"}, {"Core 4", "39000"},
    {"Core 5", "38000"},       {"Core 6", "40000"}, {"Core 7", "38000"}};
const std::vector<HwmonChannel> R720Package1 = {
    {"Package id 1", "44000"}, {"Core 0", "40000"}, {"Core 1", "38000"},
    {"Core 2", "41000"},       {"Core 3", "37000"}, {"Core 4", "39000"},
    {"Core 5", "39000"},       {"Core 6", "41000"}, {"Core 7", "38000"}};

// clang-format off
const std::vector<Machine> Machines = {
    // Intel desktop (H61 board, kernel 4.15) with a package channel and four
    // cores, and an it8728 board chip reading nonsense. linuxhw/Sensors
    // "All In One/AIO/H61/H61H-G11/1F971B06A938/ROSA-2016.1/
    //  4.15.0-DESKTOP-60.7ROSA-X86_64/X86_64/1F5B5C1D86".
    {"IntelDesktopPackageAndCores",
     {},
     Intel,
     {{0, "it8728", {{nullptr, "-8000"}, {nullptr, "-128000"}, {nullptr, "-66000"}}},
      {1, "acpitz", {{nullptr, "27800"}, {nullptr, "29800"}}},
      {2,
       "coretemp",
       {{"Package id 0", "39000"},
        {"Core 0", "37000"},
        {"Core 1", "39000"},
        {"Core 2", "35000"},
        {"Core 3", "36000"}}}},
     {{0, "acpitz", "27800"}, {1, "acpitz", "29800"}},
     {},
     39.0F,
     u"coretemp, Package id 0"_qs,
     {},
     0.0F},
    // Intel laptop without coretemp: thermal zones only, the package among the
    // firmware's. Checkmk/checkmk
    // tests/unit/cmk/base/plugins/agent_based/test_lnx_thermal.py, its second
    // agent output (the line of an Allwinner zone, another machine's, left out).
    {"IntelLaptopZonesOnly",
     {},
     Intel,
     {},
     {{0, "acpitz", "25000"},
      {3, "pch_skylake", "45000"},
      {4, "INT3400 Thermal", "20000"},
      {5, "x86_pkg_temp", "48000"},
      {6, "B0D4", "61000"}},
     {},
     48.0F,
     u"x86_pkg_temp (thermal_zone5)"_qs,
     {},
     0.0F},
    // Intel laptop whose kernel names the package zone "pkg-temp-0", beside
    // two board zones. The same Checkmk test, its first agent output.
    {"IntelLaptopOlderPackageZoneName",
     {},
     Intel,
     {},
     {{0, "acpitz", "57000"},
      {1, "acpitz", "65000"},
      {3, "pch_skylake", "46000"},
      {5, "pkg-temp-0", "44000"}},
     {},
     44.0F,
     u"pkg-temp-0 (thermal_zone5)"_qs,
     {},
     0.0F},
    // Intel machine on an older kernel: two coretemp devices whose package
    // channels say "Physical id 0", an nct6779 board chip without
    // temperatures, and a clock of 1.7 GHz on cpu0. prometheus/node_exporter
    // collector/fixtures/sys.ttar and collector/fixtures/proc/cpuinfo.
    {"IntelOlderKernelPhysicalId",
     {},
     Laptop8650U,
     {{0,
       "coretemp",
       {{"Physical id 0", "55000"},
        {"Core 0", "54000"},
        {"Core 1", "52000"},
        {"Core 2", "53000"},
        {"Core 3", "50000"}}},
      {1,
       "coretemp",
       {{"Physical id 0", "55000"},
        {"Core 0", "54000"},
        {"Core 1", "52000"},
        {"Core 2", "53000"},
        {"Core 3", "50000"}}},
      {3, "nct6779", {}}},
     {{0, "cpu-thermal", "12376"}},
     {{u"online"_qs, "0-3\n"},
      {u"cpu0/cpufreq/scaling_cur_freq"_qs, "1699981\n"},
      {u"cpu1/cpufreq/scaling_cur_freq"_qs, "1699981\n"},
      {u"cpu2/cpufreq/scaling_cur_freq"_qs, "8000\n"},
      {u"cpu3/cpufreq/scaling_cur_freq"_qs, "8000\n"}},
     55.0F,
     u"coretemp, Physical id 0"_qs,
     {},
     1700.0F},
    // Two-socket Intel server on an older kernel: "Physical id 0" and
    // "Physical id 1" on two coretemp devices, and the board's acpitz.
    // influxdata/telegraf plugins/inputs/sensors/sensors_test.go, its recorded
    // sensors output.
    {"TwoSocketIntelOlderKernel",
     {},
     Intel,
     {{0, "acpitz", {{nullptr, "8300"}}},
      {1, "coretemp", {{"Physical id 0", "77000"}, {"Core 0", "75000"}, {"Core 1", "77000"}}},
      {2, "coretemp", {{"Physical id 1", "70000"}, {"Core 0", "66000"}, {"Core 1", "70000"}}}},
     {{0, "acpitz", "8300"}},
     {},
     77.0F,
     u"coretemp, Physical id 0, Physical id 1"_qs,
     {},
     0.0F},
    // Two-socket Intel server (Dell PowerEdge R720, kernel 5.8) whose second
    // package is the hotter. linuxhw/Sensors
    // "Server/Dell/PowerEdge/PowerEdge R720/D87975CF195B/UBUNTU-20.04/
    //  5.8.0-49-GENERIC/X86_64/4CE6A061A6".
    {"TwoSocketIntelServer",
     {},
     Intel,
     {{0, "coretemp", R720Package0}, {1, "coretemp", R720Package1}},
     {},
     {},
     44.0F,
     u"coretemp, Package id 0, Package id 1"_qs,
     {},
     0.0F},
    // Intel laptop whose kernel gives no online list: cpu0 says it is online
    // and its cpufreq (a link to the policy folder) reads 1.22 GHz, while
    // /proc/cpuinfo holds a stale 800 MHz. prometheus/procfs
    // testdata/fixtures.ttar (its thermal zones belong to other machines and
    // are left out).
    {"IntelLaptopWithoutOnlineList",
     {},
     Laptop8650U,
     {},
     {},
     {{u"cpu0/online"_qs, "1"},
      {u"cpufreq/policy0/scaling_cur_freq"_qs, "1219917\n"},
      {u"cpu0/cpufreq"_qs, {}, u"../cpufreq/policy0"_qs},
      {u"cpu1/cpufreq/cpuinfo_cur_freq"_qs, "1200195\n"},
      {u"cpu2/topology/core_id"_qs, "0\n"}},
     0.0F,
     std::nullopt,
     CoretempNotLoaded,
     1220.0F},
    // AMD FX (family 15h, kernel 5.15): k10temp's one unlabelled channel, the
    // board's own "CPU Temperature", a Radeon's "edge". linuxhw/Sensors
    // "Desktop/ASUSTek Computer/M5A78L/M5A78L LE/DCB748625F9A/UBUNTU-22.04/
    //  5.15.0-57-GENERIC/X86_64/0B9C1C2841".
    {"AmdBeforeZen",
     {},
     Amd,
     {{0, "k10temp", {{nullptr, "22200"}}},
      {1, "atk0110", {{"CPU Temperature", "38000"}, {"MB Temperature", "28000"}}},
      {2, "amdgpu", {{"edge", "43000"}}},
      {3, "fam15h_power", {}}},
     {},
     {},
     22.0F,
     u"k10temp, temp1"_qs,
     {},
     0.0F},
    // Ryzen 7 2700X on kernel 4.16, before k10temp labelled Zen's channels;
    // an NVIDIA card's nouveau beside it. cyring/CoreFreq issue 54.
    {"AmdZenOnAnEarlyKernel",
     {},
     Amd,
     {{0, "asus", {}}, {1, "nouveau", {{nullptr, "44000"}}}, {2, "k10temp", {{nullptr, "52000"}}}},
     {},
     {},
     52.0F,
     u"k10temp, temp1"_qs,
     {},
     0.0F},
    // Ryzen 7 3700X (Zen 2): Tctl, Tdie and one core die.
    // lm-sensors/lm-sensors issue 339, its first output (the reporter's
    // configuration relabels Tctl; the kernel's label is "Tctl").
    {"AmdZen2WithTdie",
     {},
     Amd,
     {{0, "k10temp", {{"Tctl", "38000"}, {"Tdie", "38000"}, {"Tccd1", "37800"}}}},
     {},
     {},
     38.0F,
     u"k10temp, Tdie"_qs,
     {},
     0.0F},
    // Threadripper of two nodes (kernel 5.1): two k10temp devices, each with a
    // Tdie 27 degrees below its Tctl, a Radeon VII and a Wi-Fi card.
    // https://bugs.freedesktop.org/show_bug.cgi?id=110674#c37
    {"AmdThreadripperTwoNodes",
     {},
     Amd,
     {{0, "iwlwifi", {{nullptr, "37000"}}},
      {1, "k10temp", {{"Tdie", "34800"}, {"Tctl", "61800"}}},
      {2, "amdgpu", {{nullptr, "39000"}}},
      {3, "k10temp", {{"Tdie", "33200"}, {"Tctl", "60200"}}}},
     {},
     {},
     35.0F,
     u"k10temp, Tdie"_qs,
     {},
     0.0F},
    // Zen 3 or later: Tctl and a core die only, and an NVMe drive whose second
    // sensor is hotter than the processor. influxdata/telegraf
    // plugins/inputs/temp/testcases/general.
    {"AmdZen3WithTctlAndNvme",
     {},
     Amd,
     {{0, "nvme", {{"Composite", "35850"}, {"Sensor 1", "35850"}, {"Sensor 2", "38850"}}},
      {1, "k10temp", {{"Tctl", "33250"}, {"Tccd1", "33250"}}}},
     {},
     {},
     33.0F,
     u"k10temp, Tctl"_qs,
     {},
     0.0F},
    // Ryzen with zenpower in place of k10temp (it numbers Tdie first).
    // Nortank12/deepcool-digital-linux pull request 2.
    {"AmdZenpower",
     {},
     Amd,
     {{0, "zenpower", {{"Tdie", "43000"}, {"Tctl", "43000"}, {"Tccd1", "42250"}}}},
     {},
     {},
     43.0F,
     u"zenpower, Tdie"_qs,
     {},
     0.0F},
    // Intel board (its chip reports a PECI agent) with an nct6798 whose
    // thermistor inputs read up to 127 degrees; the report shows no processor
    // driver. https://bugzilla.kernel.org/show_bug.cgi?id=204807#c172
    {"IntelBoardChipOnly",
     {},
     Intel,
     {{0,
       "nct6798",
       {{"SYSTIN", "31000"},
        {"CPUTIN", "37500"},
        {"AUXTIN0", "26000"},
        {"AUXTIN1", "127000"},
        {"AUXTIN2", "109000"},
        {"AUXTIN3", "23000"},
        {"PECI Agent 0 Calibration", "37500"}}}},
     {},
     {},
     0.0F,
     std::nullopt,
     CoretempNotLoaded,
     0.0F},
    // Raspberry Pi 3 on an older kernel, whose driver types its zone
    // "bcm2835_thermal" (raspberrypi/linux pull request 1010); the reading and
    // the clock from raspberrypi/linux issue 1918 (kernel 4.4). Its sensor
    // table row looks for "cpu-thermal" and finds nothing.
    {"RaspberryPi3OlderKernel",
     "Raspberry Pi 3 Model B Rev 1.2",
     "processor\t: 0\nmodel name\t: ARMv7 Processor rev 4 (v7l)\n",
     {},
     {{0, "bcm2835_thermal", "42932"}},
     {{u"cpu0/cpufreq/scaling_cur_freq"_qs, "1200000\n"}},
     42.932F,
     u"bcm2835_thermal (thermal_zone0)"_qs,
     {},
     std::nullopt},
    // Raspberry Pi 4 with its case fan: zone "cpu-thermal".
    // raspberrypi/Raspberry-Pi-OS-64bit issue 135 (the report gives no
    // revision; 1.4 is assumed).
    {"RaspberryPi4",
     "Raspberry Pi 4 Model B Rev 1.4",
     "processor\t: 0\nBogoMIPS\t: 108.00\n",
     {},
     {{0, "cpu-thermal", "74010"}},
     {},
     74.01F,
     u"sensor table, Raspberry Pi 4 Model B Rev 1.4"_qs,
     {},
     std::nullopt},
    // Rockchip RK3399 board (RockPro64): "soc-thermal" for the processors and
    // "gpu-thermal". mrfixit2001/rockchip-kernel pull request 6, which shows
    // both readings (the model is the mainline device tree's).
    {"RockchipBoard",
     "Pine64 RockPro64 v2.1",
     "processor\t: 0\nBogoMIPS\t: 48.00\n",
     {},
     {{0, "soc-thermal", "31100"}, {1, "gpu-thermal", "30600"}},
     {},
     31.1F,
     u"soc-thermal (thermal_zone0)"_qs,
     {},
     std::nullopt},
    // Virtual machine (Azure, Xeon E5-2673 v4): the hypervisor flag, no
    // sensor, no cpufreq. collabnix/linux101
    // day-4/linux-basic-commands/os-specific/README.md.
    {"VirtualMachine",
     {},
     "processor\t: 0\nvendor_id\t: GenuineIntel\n"
     "model name\t: Intel(R) Xeon(R) CPU E5-2673 v4 @ 2.30GHz\ncpu MHz\t\t: 2294.652\n"
     "flags\t\t: fpu vme de pse tsc msr pae mce cx8 apic sep mtrr hypervisor lahf_lm\n",
     {},
     {},
     {},
     0.0F,
     std::nullopt,
     CoretempNotLoaded,
     2295.0F},
};
// clang-format on

class RealMachineTest : public GaugeTestBase, public testing::WithParamInterface<Machine>
{
protected:
    RealMachineTest() { useShippedResources(); }

    void build(const Machine& machine)
    {
        if (!machine.model.isEmpty()) {
            setBoardModel(machine.model);
        }
        tree.addFile(u"proc/cpuinfo"_qs, machine.cpuinfo);
        for (const Device& device : machine.hwmon) {
            tree.addHwmon(device.number, device.name, device.channels);
        }
        for (const Zone& zone : machine.zones) {
            tree.addThermalZone(zone.number, zone.type, zone.temp);
        }
        for (const File& file : machine.files) {
            const QString path = u"sys/devices/system/cpu/"_qs + file.path;
            if (file.link.isEmpty()) {
                tree.addFile(path, file.contents);
            } else {
                tree.addSymlink(path, file.link);
            }
        }
    }
};

TEST_P(RealMachineTest, ReadsWhatItsRecordingShows)
{
    const Machine& machine = GetParam();
    build(machine);
    const std::shared_ptr<Gauge> temperature = Gauge::CPUTemperatureGauge();
    ASSERT_TRUE(temperature);
    EXPECT_FLOAT_EQ(temperature->gauge(), machine.temperature);
    EXPECT_EQ(temperature->sensorInUse(), machine.sensor);
    EXPECT_EQ(temperature->hasSource() ? QString() : temperature->noReadingReason(),
              machine.reason);
    const std::shared_ptr<Gauge> frequency = Gauge::CPUFrequencyGauge();
    EXPECT_EQ(frequency ? std::optional(frequency->gauge()) : std::nullopt, machine.frequency);
}

INSTANTIATE_TEST_SUITE_P(Recorded, RealMachineTest, testing::ValuesIn(Machines),
                         [](const testing::TestParamInfo<Machine>& row) {
                             return std::string(row.param.name);
                         });

} // namespace
} // namespace calidra
