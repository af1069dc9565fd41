// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/KernelValues.h"

#include "FixtureTree.h"
#include "hardware/KernelValueQueries.h"
#include "hardware/ProcessorTemperatureSensor.h"
#include "hardware/SysfsFile.h"

#include <QFile>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace calidra {
namespace {

const QString Input = u"sys/class/hwmon/hwmon0/temp1_input"_qs;

// The integer form gives `expected` (0 when absent), the text form its digits and U+0000.
void expectValue(const char* name, std::optional<qint32> expected)
{
    EXPECT_EQ(querySysctlValueAsInt(name), expected.value_or(0));
    EXPECT_EQ(querySysctlValueAsString(name),
              expected ? std::optional(QString::number(*expected) + u'\0') : std::nullopt);
}

// A hwmon device: its driver name, then the label and input of temp1, temp2...;
// a null label writes no label file.
using Device = std::vector<const char*>;

// Adds the devices as hwmon0, hwmon1...
void addDevices(FixtureTree& tree, const std::vector<Device>& devices)
{
    for (size_t number = 0; number < devices.size(); ++number) {
        const QString folder = u"sys/class/hwmon/hwmon%1/"_qs.arg(number);
        const Device& device = devices[number];
        tree.addFile(folder + u"name"_qs, QByteArray(device[0]) + '\n');
        for (size_t i = 1; i + 1 < device.size(); i += 2) {
            const QString prefix = folder + u"temp%1_"_qs.arg(i / 2 + 1);
            if (device[i] != nullptr) {
                tree.addFile(prefix + u"label"_qs, QByteArray(device[i]) + '\n');
            }
            tree.addFile(prefix + u"input"_qs, QByteArray(device[i + 1]) + '\n');
        }
    }
}

class KernelValuesTest : public ::testing::Test
{
protected:
    // Built in this order and torn down in reverse: each member uses the ones
    // above it, and the process-wide ones stay current until those below are gone.
    FixtureTree tree;
    KernelValues values{tree.root()};
};

TEST_F(KernelValuesTest, ReadsFilesBelowProcSysAndNothingElse)
{
    tree.addFile(u"secret"_qs, "42\n");
    tree.addFile(u"proc/sys/a/b"_qs, "42\n");
    tree.addFolder(u"proc/sys/kern"_qs);
    tree.addUnreadable(u"proc/sys/kernel/socket"_qs);
    tree.addLargeFile(u"proc/sys/kernel/huge"_qs, SysfsFile::MaximumSize + 1);
    expectValue("a.b", 42);
    for (const char* name : {"no.such.value", "", "..", "kern.", "a..b", "kern/../../../secret",
                             "kernel.socket", "kernel.huge"}) {
        SCOPED_TRACE(name);
        expectValue(name, std::nullopt);
    }
    expectValue(nullptr, std::nullopt);
    // The text form drops one line feed and ends with U+0000.
    const std::pair<const char*, QString> rows[] = {
        {"0\n", u"0\0"_qs}, {"4294967297\n", u"4294967297\0"_qs}, {"Linux\n", u"Linux\0"_qs}};
    for (const auto& [contents, text] : rows) {
        tree.addFile(u"proc/sys/a/b"_qs, contents);
        EXPECT_EQ(querySysctlValueAsInt("a.b"), 0) << contents;
        EXPECT_EQ(querySysctlValueAsString("a.b"), text) << contents;
    }
}

// cpu0 and cpu2 have cpufreq files; proc/cpuinfo stands in for the rest. A list
// that cannot be read leaves the choice to the processor folders (cpu0 has no
// online file, so it is online).
TEST_F(KernelValuesTest, CountAndClockFollowTheOnlineListElseCpuinfo)
{
    tree.addFile(u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs, "2400000\n");
    tree.addFile(u"sys/devices/system/cpu/cpu2/cpufreq/scaling_cur_freq"_qs, "1200000\n");
    tree.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\ncpu MHz\t\t: 799.500\n\nprocessor\t: 1\n");
    const std::tuple<const char*, qint32, qint32> rows[] = {{"0-3,5,7-8\n", 7, 2400},
                                                            {"2-3\n", 2, 1200},
                                                            {"1\n", 1, 800},
                                                            {"0-2147483646\n", 2147483647, 2400},
                                                            {"all\n", 2, 2400}};
    for (const auto& [online, count, megahertz] : rows) {
        SCOPED_TRACE(online);
        tree.addFile(u"sys/devices/system/cpu/online"_qs, online);
        const KernelValues fresh(tree.root()); // keeps no clock file from the last row
        expectValue("hw.ncpu", count);
        expectValue("kern.cpu_currentfreq", megahertz);
    }
}

// Without an online list: the lowest-numbered processor folder that is online
// (its online file says 1, or it has none), else /proc/cpuinfo.
TEST_F(KernelValuesTest, ClockWithoutAnOnlineListComesFromTheFirstOnlineProcessorFolder)
{
    using Files = std::vector<std::pair<const char*, QByteArray>>;
    const std::tuple<const char*, Files, qint32> rows[] = {
        {"Cpu0WithoutOnlineFile", {{"cpu0/cpufreq/scaling_cur_freq", "1219917\n"}}, 1220},
        {"Cpu0SaysOnline",
         {{"cpu0/online", "1"}, {"cpu0/cpufreq/scaling_cur_freq", "1500000\n"}},
         1500},
        {"OfflineCpu0IsPassedOver",
         {{"cpu0/online", "0\n"},
          {"cpu0/cpufreq/scaling_cur_freq", "1000000\n"},
          {"cpu2/online", "1\n"},
          {"cpu2/cpufreq/scaling_cur_freq", "2000000\n"}},
         2000},
        {"NumbersCountNotNames",
         {{"cpu0/online", "0\n"},
          {"cpu1/online", "0\n"},
          {"cpu10/cpufreq/scaling_cur_freq", "1000000\n"},
          {"cpu9/cpufreq/scaling_cur_freq", "900000\n"}},
         900},
        {"OtherNamesAreNoProcessors",
         {{"cpufreq/scaling_cur_freq", "1000000\n"},
          {"cpu01/cpufreq/scaling_cur_freq", "1000000\n"},
          {"cpu-1/cpufreq/scaling_cur_freq", "1000000\n"},
          {"cpu4294967296/cpufreq/scaling_cur_freq", "1000000\n"},
          {"cpu3/cpufreq/scaling_cur_freq", "3000000\n"}},
         3000},
        {"AGarbledOnlineFileIsOffline",
         {{"cpu0/online", "yes\n"}, {"cpu1/cpufreq/scaling_cur_freq", "1100000\n"}},
         1100},
        {"FirstOnlineWithoutCpufreqGivesCpuinfo",
         {{"cpu0/topology/core_id", "0\n"}, {"cpu1/cpufreq/scaling_cur_freq", "1000000\n"}},
         800},
        {"AllOfflineGivesCpuinfo",
         {{"cpu0/online", "0\n"}, {"cpu0/cpufreq/scaling_cur_freq", "1000000\n"}},
         800},
        {"NoFoldersGivesCpuinfo", {}, 800},
    };
    for (const auto& [name, files, megahertz] : rows) {
        SCOPED_TRACE(name);
        FixtureTree machine;
        machine.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\ncpu MHz\t\t: 799.998\n");
        for (const auto& [path, contents] : files) {
            machine.addFile(u"sys/devices/system/cpu/"_qs + QString::fromLatin1(path), contents);
        }
        KernelValues machineValues(machine.root());
        expectValue("kern.cpu_currentfreq", megahertz);
    }
}

TEST_F(KernelValuesTest, TemperatureComesFromThePreferredDriverChannel)
{
    // The devices, the value, and the sensor as the About panel names it.
    const std::tuple<std::vector<Device>, std::optional<qint32>, QString> rows[] = {
        {{{"coretemp", "Core 0", "70000", "Package id 0", "55000"}},
         55,
         u"coretemp, Package id 0"_qs}, // package over cores
        {{{"coretemp", "Core 0", "41000", "Core 1", "67000"}, {"coretemp", "Core 0", "50000"}},
         67,
         u"coretemp, Core 0, Core 1"_qs}, // else the hottest core across devices
        {{{"coretemp", "Core 0", "1000", "Core 1", "1000", "Core 2", "1000", "Core 3", "9000"}},
         9,
         u"coretemp, Core 0, …, Core 3"_qs},
        {{{"k10temp", "Tctl", "60000", "Tdie", "50000"}},
         50,
         u"k10temp, Tdie"_qs}, // Tdie over Tctl
        {{{"zenpower", "Tctl", "62000", "Tdie", "51000"}}, 51, u"zenpower, Tdie"_qs},
        {{{"zenpower", "Tctl", "63000"}}, 63, u"zenpower, Tctl"_qs},
        {{{"acpitz", "Tdie", "99000"}, {"k10temp", "Tdie", "45000"}},
         45,
         u"k10temp, Tdie"_qs},                                     // by name, not number
        {{{"k10temp", "Tctl", "45500"}}, 46, u"k10temp, Tctl"_qs}, // a half rounds up
        {{{"k10temp", "Tctl", "-1500"}}, -2, u"k10temp, Tctl"_qs}, // and away from zero
        // Older kernels name the package "Physical id N".
        {{{"coretemp", "Core 0", "70000", "Physical id 0", "56000"}},
         56,
         u"coretemp, Physical id 0"_qs},
        // Several packages (two sockets): the hottest, every package named.
        {{{"coretemp", "Package id 0", "50000", "Core 0", "80000"},
          {"coretemp", "Package id 1", "71000", "Core 0", "90000"}},
         71,
         u"coretemp, Package id 0, Package id 1"_qs},
        {{{"coretemp", "Package id x", "80000", "Core 0", "40000"}},
         40,
         u"coretemp, Core 0"_qs}, // no number, no package
        // k10temp before family 17h labels nothing: its temp1 is Tctl.
        {{{"k10temp", nullptr, "68125"}}, 68, u"k10temp, temp1"_qs},
        {{{"k10temp", nullptr, "61000", "Tdie", "40000"}}, 40, u"k10temp, Tdie"_qs},
        {{{"zenpower", nullptr, "61000"}, {"k10temp", "Tccd1", "50000"}}, std::nullopt, u""_qs},
        // Several nodes, one k10temp device each: the hottest Tdie.
        {{{"k10temp", "Tdie", "33200", "Tctl", "60200"},
          {"k10temp", "Tdie", "34800", "Tctl", "61800"}},
         35,
         u"k10temp, Tdie"_qs},
    };
    for (const auto& [devices, expected, source] : rows) {
        SCOPED_TRACE(source.toStdString());
        FixtureTree machine;
        KernelValues machineValues(machine.root());
        addDevices(machine, devices);
        expectValue("kern.cpu_temp", expected);
        EXPECT_EQ(ProcessorTemperatureSensor(ProcessorTemperatureSensor::Input::DriverChannels,
                                             QFile::encodeName(machine.root()))
                      .read()
                      .sensor,
                  expected ? std::optional(source) : std::nullopt);
    }
    EXPECT_EQ(KernelValues::current(), &values); // each nested lookup restored the previous one
    expectValue("kern.cpu_temp", std::nullopt);
}

// No package channel and thousands of cores: only a few dozen files stay open, the rest
// are read afresh at each reading.
TEST_F(KernelValuesTest, ThousandsOfCoreChannelsKeepFewFilesOpen)
{
    const QString hottest = u"sys/class/hwmon/hwmon0/temp1999_input"_qs; // not among the kept
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
    for (int channel = 1; channel <= 2000; ++channel) {
        const QString prefix = u"sys/class/hwmon/hwmon0/temp%1_"_qs.arg(channel);
        tree.addFile(prefix + u"label"_qs, "Core " + QByteArray::number(channel - 1) + '\n');
        tree.addFile(prefix + u"input"_qs, "40000\n");
    }
    tree.addFile(hottest, "88000\n");
    const qsizetype before = FixtureTree::openDescriptors();
    expectValue("kern.cpu_temp", 88);
    tree.addFile(hottest, "91000\n");
    expectValue("kern.cpu_temp", 91);
    EXPECT_LE(FixtureTree::openDescriptors() - before, 32);
    tree.remove(hottest);
    expectValue("kern.cpu_temp", std::nullopt);
    tree.addFile(hottest, "39000\n");
    expectValue("kern.cpu_temp", 40);
}

TEST_F(KernelValuesTest, ChannelIsFoundWhenLoadedKeptWhileItReadsAndDroppedWhenItFails)
{
    expectValue("kern.cpu_temp", std::nullopt);
    tree.addUnreadable(u"sys/class/hwmon/hwmon1/name"_qs); // passed over
    addDevices(tree, {{"coretemp", "Package id 0", "52000"}});
    expectValue("kern.cpu_temp", 52);
    tree.remove(u"sys/class/hwmon/hwmon0/name"_qs); // so that no new search finds it
    tree.remove(u"sys/class/hwmon/hwmon0/temp1_label"_qs);
    tree.addFile(Input, "107000\n");
    expectValue("kern.cpu_temp", 107);
    // A removed device's kept file fails with ENODEV, an unlinked fixture file once empty.
    tree.addFile(Input, "");
    tree.remove(u"sys/class/hwmon/hwmon0"_qs);
    expectValue("kern.cpu_temp", std::nullopt);
    addDevices(tree, {{"coretemp", "Package id 0", "61000"}});
    expectValue("kern.cpu_temp", 61);
    for (const QByteArray& input : {QByteArray(), QByteArray("hot\n"), QByteArray(8192, '7')}) {
        tree.addFile(Input, input);
        expectValue("kern.cpu_temp", std::nullopt);
    }
    tree.remove(Input);
    tree.addSymlink(Input, u"/proc/self/mem"_qs); // reading at offset 0 fails with EIO
    expectValue("kern.cpu_temp", std::nullopt);
}

} // namespace
} // namespace calidra
