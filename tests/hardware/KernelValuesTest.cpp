#include "hardware/KernelValues.h"

#include "FixtureTree.h"
#include "hardware/KernelValueQueries.h"
#include "hardware/SysfsFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace calidra {
namespace {

// Two processors; the first one's clock needs rounding.
constexpr char CpuInfo[] = "processor\t: 0\ncpu MHz\t\t: 799.500\n\n"
                           "processor\t: 1\ncpu MHz\t\t: 2400.000\n";
const QString Online = u"sys/devices/system/cpu/online"_qs;
const QString Input = u"sys/class/hwmon/hwmon0/temp1_input"_qs;

// Expects the integer form to give `expected` (0 when absent) and the text form
// its decimal text and a zero byte (absent when absent).
void expectValue(const char* name, std::optional<qint32> expected)
{
    EXPECT_EQ(querySysctlValueAsInt(name), expected.value_or(0));
    EXPECT_EQ(querySysctlValueAsString(name),
              expected ? std::optional(QString::number(*expected) + u'\0') : std::nullopt);
}

// One hwmon device: its driver name and its channels, numbered from 1.
struct Device
{
    const char* driver;
    std::vector<std::pair<const char*, const char*>> channels;
};

class KernelValuesTest : public ::testing::Test
{
protected:
    void addDevice(int number, const Device& device)
    {
        const QString folder = u"sys/class/hwmon/hwmon"_qs + QString::number(number);
        tree.addFile(folder + u"/name"_qs, QByteArray(device.driver) + '\n');
        int channel = 0;
        for (const auto& [label, input] : device.channels) {
            const QString prefix = folder + u"/temp"_qs + QString::number(++channel);
            tree.addFile(prefix + u"_label"_qs, QByteArray(label) + '\n');
            tree.addFile(prefix + u"_input"_qs, QByteArray(input) + '\n');
        }
    }

    FixtureTree tree;
    KernelValues values{tree.root()};
};

// A table of rows, each named by its `test` in the test's name.
template <typename Row>
class TableTest : public KernelValuesTest, public ::testing::WithParamInterface<Row>
{};

auto rowName = [](const auto& info) { return std::string(info.param.test); };

// The text form drops one line feed and ends with U+0000.
TEST_F(KernelValuesTest, ReadsTheFileBelowProcSys)
{
    expectValue("no.such.value", std::nullopt);
    for (const auto& [test, contents, integer, text] :
         {std::tuple{"Zero", "0\n", 0, u"0\0"_qs},
          {"WiderThan32Bits", "4294967297\n", 0, u"4294967297\0"_qs},
          {"Text", "Linux\n", 0, u"Linux\0"_qs}}) {
        SCOPED_TRACE(test);
        tree.addFile(u"proc/sys/kernel/value"_qs, contents);
        EXPECT_EQ(querySysctlValueAsInt("kernel.value"), integer);
        EXPECT_EQ(querySysctlValueAsString("kernel.value"), text);
    }
}

TEST_F(KernelValuesTest, HostileNamesStayBelowProcSys)
{
    tree.addFile(u"secret"_qs, "42\n");
    tree.addFile(u"proc/sys/a/b"_qs, "42\n");
    tree.addFolder(u"proc/sys/kern"_qs);
    ASSERT_EQ(querySysctlValueAsInt("a.b"), 42);
    for (const char* name : {"", "..", "kern.", "a..b", "kern/../../../secret"}) {
        SCOPED_TRACE(name);
        expectValue(name, std::nullopt);
    }
    expectValue(nullptr, std::nullopt);
}

// An online list (null: no file), the count and the clock it gives: cpu0 and
// cpu2 have cpufreq files; CpuInfo stands in for a missing one or a bad list.
struct ProcessorRow
{
    const char* test;
    const char* online;
    qint32 count;
    qint32 megahertz;
};

using ProcessorCountAndFrequencyTest = TableTest<ProcessorRow>;
TEST_P(ProcessorCountAndFrequencyTest, FollowTheOnlineList)
{
    if (GetParam().online != nullptr) {
        tree.addFile(Online, GetParam().online);
    }
    tree.addFile(u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs, "2400000\n");
    tree.addFile(u"sys/devices/system/cpu/cpu2/cpufreq/scaling_cur_freq"_qs, "1200000\n");
    tree.addFile(u"proc/cpuinfo"_qs, CpuInfo);
    expectValue("hw.ncpu", GetParam().count);
    expectValue("kern.cpu_currentfreq", GetParam().megahertz);
}

const ProcessorRow ProcessorRows[] = {
    {"Ranges", "0-3,5,7-8\n", 7, 2400},
    {"FirstOnlineIsNotCpu0", "2-3\n", 2, 1200},
    {"FirstOnlineWithoutCpufreq", "1\n", 1, 800},
    {"RangeCountedNotWalked", "0-2147483646\n", 2147483647, 2400},
    {"CountBeyond32Bits", "0-4294967295\n", 2, 800},
    {"Reversed", "3-0\n", 2, 800},
    {"Garbage", "all\n", 2, 800},
    {"NoList", nullptr, 2, 800},
};
INSTANTIATE_TEST_SUITE_P(, ProcessorCountAndFrequencyTest, ::testing::ValuesIn(ProcessorRows),
                         rowName);

// The hwmon devices, numbered from hwmon0, and the temperature they give.
struct TemperatureRow
{
    const char* test;
    std::vector<Device> devices;
    qint32 expected;
};

using TemperatureTest = TableTest<TemperatureRow>;
TEST_P(TemperatureTest, ReadsTheDriverChannel)
{
    int number = 0;
    for (const Device& device : GetParam().devices) {
        addDevice(number++, device);
    }
    expectValue("kern.cpu_temp", GetParam().expected);
}

const TemperatureRow TemperatureRows[] = {
    {"PackageOverHotterCore", {{"coretemp", {{"Core 0", "70000"}, {"Package id 0", "55000"}}}}, 55},
    {"HottestCoreAcrossDevices",
     {{"coretemp", {{"Core 0", "41000"}, {"Core 1", "67000"}}},
      {"coretemp", {{"Core 0", "50000"}}}},
     67},
    {"TdieOverTctl", {{"k10temp", {{"Tctl", "60000"}, {"Tdie", "50000"}}}}, 50},
    {"ByNameNotNumber", {{"acpitz", {{"Tdie", "99000"}}}, {"k10temp", {{"Tdie", "45000"}}}}, 45},
    {"HalfDegreeRoundsUp", {{"k10temp", {{"Tctl", "45500"}}}}, 46},
    {"BelowHalfRoundsDown", {{"k10temp", {{"Tctl", "45499"}}}}, 45},
    {"NegativeHalfRoundsAway", {{"k10temp", {{"Tctl", "-1500"}}}}, -2},
};
INSTANTIATE_TEST_SUITE_P(, TemperatureTest, ::testing::ValuesIn(TemperatureRows), rowName);

TEST_F(KernelValuesTest, DriverIsFoundWhenLoadedAndLostWhenRemoved)
{
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    addDevice(0, {"coretemp", {{"Package id 0", "52000"}}});
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
    // The kept file of a removed device fails its reads with ENODEV; a fixture
    // file stays readable after it is unlinked, so empty it first.
    tree.addFile(Input, "");
    tree.remove(u"sys/class/hwmon/hwmon0"_qs);
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    addDevice(4, {"coretemp", {{"Package id 0", "61000"}}});
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 61);
}

// Once found, the input is read again without a new search, which could no
// longer find it once its device's name and label are gone.
TEST_F(KernelValuesTest, KeptFileFollowsItsValueWithoutAnotherSearch)
{
    addDevice(0, {"coretemp", {{"Package id 0", "52000"}}});
    ASSERT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
    tree.remove(u"sys/class/hwmon/hwmon0/name"_qs);
    tree.remove(u"sys/class/hwmon/hwmon0/temp1_label"_qs);
    for (const auto& [text, expected] : {std::pair{"107000\n", 107}, {"9000\n", 9}}) {
        tree.addFile(Input, text);
        EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), expected) << text;
    }
}

TEST_F(KernelValuesTest, ChannelFailingWithEioIsAbsent)
{
    addDevice(0, {"k10temp", {{"Tdie", "50000"}}});
    tree.remove(Input);
    // Reading /proc/self/mem at offset 0 fails with EIO.
    tree.addSymlink(Input, u"/proc/self/mem"_qs);
    expectValue("kern.cpu_temp", std::nullopt);
}

TEST_F(KernelValuesTest, UnreadableAndGarbageFilesAreAbsentAndPassedOver)
{
    tree.addFolder(u"proc/sys/kernel/folder"_qs);
    tree.addUnreadable(u"proc/sys/kernel/socket"_qs);
    tree.addLargeFile(u"proc/sys/kernel/huge"_qs, SysfsFile::MaximumSize + 1);
    for (const char* name : {"kernel.folder", "kernel.socket", "kernel.huge"}) {
        expectValue(name, std::nullopt);
    }
    tree.addUnreadable(u"sys/class/hwmon/hwmon1/name"_qs);
    addDevice(0, {"coretemp", {{"Package id 0", "52000"}}});
    for (const QByteArray& input :
         {QByteArray(), QByteArray("hot\n"), QByteArray("1 2\n"), QByteArray(8192, '7')}) {
        tree.addFile(Input, input);
        expectValue("kern.cpu_temp", std::nullopt);
    }
    tree.addFile(Input, "52000\n");
    expectValue("kern.cpu_temp", 52);
}

TEST_F(KernelValuesTest, NestedLookupsRestoreThePreviousOne)
{
    tree.addFile(Online, "0-1\n");
    {
        FixtureTree inner;
        inner.addFile(Online, "0-3\n");
        const KernelValues innerValues(inner.root());
        EXPECT_EQ(querySysctlValueAsInt("hw.ncpu"), 4);
    }
    EXPECT_EQ(KernelValues::current(), &values);
    EXPECT_EQ(querySysctlValueAsInt("hw.ncpu"), 2);
}

} // namespace
} // namespace calidra
