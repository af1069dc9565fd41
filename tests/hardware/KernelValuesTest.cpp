#include "hardware/KernelValues.h"

#include "FixtureTree.h"
#include "hardware/KernelValueQueries.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace calidra {
namespace {

using namespace std::literals;

constexpr char CpuInfo[] = "processor\t: 0\ncpu MHz\t\t: 800.000\n\n"
                           "processor\t: 1\ncpu MHz\t\t: 2400.000\n";

// Expects the integer form to give `expected` (0 when absent) and the text form
// its decimal text and a zero byte (absent when absent).
void expectValue(const char* name, std::optional<qint32> expected)
{
    EXPECT_EQ(querySysctlValueAsInt(name), expected.value_or(0));
    const std::optional<QString> text = querySysctlValueAsString(name);
    if (expected) {
        EXPECT_EQ(text, QString::number(*expected) + QChar(u'\0'));
    } else {
        EXPECT_FALSE(text);
    }
}

// One hwmon device below sys/class/hwmon: its folder, its driver name and its
// channels as label and input, numbered from 1; a channel without input has
// only its label file.
struct Device
{
    const char* folder;
    const char* driver;
    std::vector<std::pair<const char*, std::optional<std::string>>> channels;
};

class KernelValuesTest : public ::testing::Test
{
protected:
    void addDevice(const Device& device)
    {
        const QString folder = u"sys/class/hwmon/"_qs + QString::fromUtf8(device.folder);
        tree.addFile(folder + u"/name"_qs, QByteArray(device.driver) + '\n');
        int number = 0;
        for (const auto& [label, input] : device.channels) {
            const QString channel = folder + u"/temp"_qs + QString::number(++number);
            tree.addFile(channel + u"_label"_qs, QByteArray(label) + '\n');
            if (input) {
                tree.addFile(channel + u"_input"_qs, QByteArray::fromStdString(*input));
            }
        }
    }

    FixtureTree tree;
    KernelValues values{tree.root()};
};

// Names each table row in the test's output.
template <typename Row>
requires requires(const Row& row)
{
    row.test;
}
void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.test;
}

auto caseName = [](const auto& info) { return std::string(info.param.test); };

struct ProcSysCase
{
    const char* test;
    std::string_view contents;
    qint32 integer;
    std::u16string_view text;
};

class ProcSysTest : public KernelValuesTest, public ::testing::WithParamInterface<ProcSysCase>
{};

TEST_P(ProcSysTest, ReadsTheFileBelowProcSys)
{
    tree.addFile(u"proc/sys/kernel/value"_qs,
                 QByteArray(GetParam().contents.data(), qsizetype(GetParam().contents.size())));
    EXPECT_EQ(querySysctlValueAsInt("kernel.value"), GetParam().integer);
    EXPECT_EQ(querySysctlValueAsString("kernel.value"), QStringView(GetParam().text).toString());
}

INSTANTIATE_TEST_SUITE_P(
    , ProcSysTest,
    ::testing::Values(ProcSysCase{"Zero", "0\n", 0, u"0\0"sv},
                      ProcSysCase{"Positive", "4194304\n", 4194304, u"4194304\0"sv},
                      ProcSysCase{"Negative", "-12\n", -12, u"-12\0"sv},
                      ProcSysCase{"WiderThan32Bits", "8589934592\n", 0, u"8589934592\0"sv},
                      ProcSysCase{"SeveralNumbers", "4\t4\t1\t7\n", 0, u"4\t4\t1\t7\0"sv},
                      ProcSysCase{"OnlyOneLineFeedGoes", "5\n\n", 0, u"5\n\0"sv},
                      ProcSysCase{"Empty", "", 0, u"\0"sv},
                      ProcSysCase{"Text", "Linux\n", 0, u"Linux\0"sv},
                      ProcSysCase{"BytesAbove127", "caf\xe9\n", 0, u"caf\u00e9\0"sv}),
    caseName);

TEST_F(KernelValuesTest, UnreadableValuesAreAbsent)
{
    tree.addFolder(u"proc/sys/kernel/folder"_qs);
    tree.addUnreadable(u"proc/sys/kernel/socket"_qs);
    tree.addLargeFile(u"proc/sys/kernel/huge"_qs, 1 << 20);
    // Reading /proc/self/mem at offset 0 fails with EIO.
    tree.addSymlink(u"proc/sys/kernel/eio"_qs, u"/proc/self/mem"_qs);
    for (const char* name : {"kernel.missing", "kernel.folder", "kernel.socket", "kernel.huge",
                             "kernel.eio", "no.such.value"}) {
        SCOPED_TRACE(name);
        expectValue(name, std::nullopt);
    }
}

TEST_F(KernelValuesTest, HostileNamesStayBelowProcSys)
{
    tree.addFile(u"secret"_qs, "42\n");
    tree.addFile(u"proc/sys/secret"_qs, "42\n");
    tree.addFile(u"proc/sys/a/b"_qs, "42\n");
    tree.addFolder(u"proc/sys/kern"_qs);
    ASSERT_EQ(querySysctlValueAsInt("a.b"), 42);
    for (const char* name : std::initializer_list<const char*>{
             "", ".", "..", "kern.", ".secret", "..secret", "a..b", "a/b", "kern/../../../secret",
             "kern\0/../../../secret", nullptr}) {
        SCOPED_TRACE(name == nullptr ? "null" : name);
        expectValue(name, std::nullopt);
    }
}

// One file's text (absent: no file) and the value expected from it.
struct TextCase
{
    const char* test;
    std::optional<std::string> text;
    std::optional<qint32> expected;
};

class TextCaseTest : public KernelValuesTest, public ::testing::WithParamInterface<TextCase>
{};

// With an online list that cannot be read, the two processors of CpuInfo count.
using ProcessorCountTest = TextCaseTest;
TEST_P(ProcessorCountTest, CountsOnlineProcessors)
{
    if (GetParam().text) {
        tree.addFile(u"sys/devices/system/cpu/online"_qs,
                     QByteArray::fromStdString(*GetParam().text));
    }
    tree.addFile(u"proc/cpuinfo"_qs, CpuInfo);
    expectValue("hw.ncpu", GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , ProcessorCountTest,
    ::testing::Values(TextCase{"OnlineList", "0-3,5,7-8\n", 7}, TextCase{"OneProcessor", "0\n", 1},
                      TextCase{"RangeCountedNotWalked", "0-2147483646\n", 2147483647},
                      TextCase{"CountBeyond32Bits", "0-4294967295\n", 2},
                      TextCase{"NumberBeyond32Bits", "0-99999999999\n", 2},
                      TextCase{"Reversed", "3-0\n", 2}, TextCase{"Overlapping", "0-3,2-5\n", 2},
                      TextCase{"TrailingComma", "0-3,\n", 2}, TextCase{"Garbage", "all\n", 2},
                      TextCase{"Empty", "", 2}, TextCase{"Missing", std::nullopt, 2}),
    caseName);

TEST_F(KernelValuesTest, ProcessorCountAbsentWithoutProcessorLines)
{
    expectValue("hw.ncpu", std::nullopt);
    tree.addFile(u"proc/cpuinfo"_qs, "flags\t: fpu\n");
    expectValue("hw.ncpu", std::nullopt);
}

// The text of the one channel of a k10temp device labelled "Tctl".
using ChannelInputTest = TextCaseTest;
TEST_P(ChannelInputTest, RoundsMillidegrees)
{
    addDevice({"hwmon0", "k10temp", {{"Tctl", GetParam().text}}});
    expectValue("kern.cpu_temp", GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, ChannelInputTest,
                         ::testing::Values(TextCase{"HalfRoundsUp", "45500\n", 46},
                                           TextCase{"BelowHalfRoundsDown", "45499\n", 45},
                                           TextCase{"NegativeHalfRoundsAway", "-1500\n", -2},
                                           TextCase{"Missing", std::nullopt, std::nullopt},
                                           TextCase{"Garbage", "hot\n", std::nullopt},
                                           TextCase{"Empty", "", std::nullopt},
                                           TextCase{"Huge", std::string(5000, '1'), std::nullopt},
                                           TextCase{"DegreesBeyond32Bits", "9999999999999\n",
                                                    std::nullopt}),
                         caseName);

struct TemperatureCase
{
    const char* test;
    std::vector<Device> devices;
    std::optional<qint32> expected;
};

class TemperatureTest : public KernelValuesTest,
                        public ::testing::WithParamInterface<TemperatureCase>
{};

TEST_P(TemperatureTest, ReadsTheDriverChannel)
{
    for (const Device& device : GetParam().devices) {
        addDevice(device);
    }
    expectValue("kern.cpu_temp", GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , TemperatureTest,
    ::testing::Values(
        TemperatureCase{
            "PackageOverHotterCore",
            {{"hwmon0", "coretemp", {{"Core 0", "70000\n"}, {"Package id 0", "55000\n"}}}},
            55},
        TemperatureCase{"HottestCoreAcrossDevices",
                        {{"hwmon0", "coretemp", {{"Core 0", "41000\n"}, {"Core 1", "67000\n"}}},
                         {"hwmon3", "coretemp", {{"Core 0", "50000\n"}}}},
                        67},
        TemperatureCase{
            "OtherLabelsIgnored",
            {{"hwmon0",
              "coretemp",
              {{"Package id 1", "90000\n"}, {"Core x", "91000\n"}, {"Core 12", "40000\n"}}}},
            40},
        TemperatureCase{"TdieOverTctl",
                        {{"hwmon0", "k10temp", {{"Tctl", "60000\n"}, {"Tdie", "50000\n"}}}},
                        50},
        TemperatureCase{"TctlAlone", {{"hwmon0", "k10temp", {{"Tctl", "48000\n"}}}}, 48},
        TemperatureCase{"Zenpower", {{"hwmon0", "zenpower", {{"Tdie", "51000\n"}}}}, 51},
        TemperatureCase{"ByNameNotNumber",
                        {{"hwmon0", "acpitz", {{"Package id 0", "99000\n"}}},
                         {"hwmon1", "coretemp", {{"Package id 0", "45000\n"}}}},
                        45},
        TemperatureCase{
            "OtherDriver", {{"hwmon0", "nvme", {{"Composite", "40000\n"}}}}, std::nullopt},
        TemperatureCase{"NameMustMatchWhole",
                        {{"hwmon0", "coretemp2", {{"Package id 0", "40000\n"}}}},
                        std::nullopt}),
    caseName);

// The frequency sources, each a file's text or null for no file.
struct FrequencyCase
{
    const char* test;
    const char* online;
    const char* cpu0;
    const char* cpu2;
    const char* cpuinfo;
    std::optional<qint32> expected;
};

class FrequencyTest : public KernelValuesTest, public ::testing::WithParamInterface<FrequencyCase>
{};

TEST_P(FrequencyTest, ReadsTheFirstOnlineProcessor)
{
    const FrequencyCase& row = GetParam();
    const std::pair<QString, const char*> files[] = {
        {u"sys/devices/system/cpu/online"_qs, row.online},
        {u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs, row.cpu0},
        {u"sys/devices/system/cpu/cpu2/cpufreq/scaling_cur_freq"_qs, row.cpu2},
        {u"proc/cpuinfo"_qs, row.cpuinfo}};
    for (const auto& [path, text] : files) {
        if (text != nullptr) {
            tree.addFile(path, text);
        }
    }
    expectValue("kern.cpu_currentfreq", row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    , FrequencyTest,
    ::testing::Values(
        FrequencyCase{"Cpufreq", "0-3\n", "2400000\n", nullptr, nullptr, 2400},
        FrequencyCase{"CpufreqRounds", "0\n", "1799500\n", nullptr, nullptr, 1800},
        FrequencyCase{"FirstOnline", "2-3\n", "3000000\n", "1200000\n", nullptr, 1200},
        FrequencyCase{"CpuinfoFirstLine", "0\n", nullptr, nullptr, CpuInfo, 800},
        FrequencyCase{"CpuinfoRounds", nullptr, nullptr, nullptr, "cpu MHz\t\t: 2333.500\n", 2334},
        FrequencyCase{"GarbageListFallsBack", "0-x\n", "3000000\n", nullptr, CpuInfo, 800},
        FrequencyCase{"GarbageCpufreqFallsBack", "0\n", "fast\n", nullptr, CpuInfo, 800},
        FrequencyCase{"GarbageCpuinfo", nullptr, nullptr, nullptr, "cpu MHz\t\t: fast\n",
                      std::nullopt},
        FrequencyCase{"InfiniteCpuinfo", nullptr, nullptr, nullptr, "cpu MHz\t\t: inf\n",
                      std::nullopt},
        FrequencyCase{"CutOffCpuinfo", nullptr, nullptr, nullptr, "cpu MHz\t\t: 2400",
                      std::nullopt},
        FrequencyCase{"Nothing", nullptr, nullptr, nullptr, nullptr, std::nullopt}),
    caseName);

const QString Input = u"sys/class/hwmon/hwmon0/temp1_input"_qs;

TEST_F(KernelValuesTest, DriverLoadedLaterIsFound)
{
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    addDevice({"hwmon0", "k10temp", {{"Tctl", "52000\n"}}});
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
}

TEST_F(KernelValuesTest, DriverRemovedFailsUntilItIsBack)
{
    addDevice({"hwmon0", "coretemp", {{"Package id 0", "52000\n"}}});
    ASSERT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
    // The kept file of a removed device fails its reads with ENODEV; a fixture
    // file stays readable after it is unlinked, so empty it first.
    tree.addFile(Input, "");
    tree.remove(u"sys/class/hwmon/hwmon0"_qs);
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    addDevice({"hwmon4", "coretemp", {{"Package id 0", "61000\n"}}});
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 61);
}

TEST_F(KernelValuesTest, KeptFileFollowsItsValue)
{
    addDevice({"hwmon0", "coretemp", {{"Package id 0", "52000\n"}}});
    for (const auto& [contents, expected] : {std::pair{"52000\n", 52},
                                             {"107000\n", 107},
                                             {"9000\n", 9},
                                             {"oops\n", 0},
                                             {"48000\n", 48}}) {
        tree.addFile(Input, contents);
        EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), expected) << contents;
    }
}

TEST_F(KernelValuesTest, KeptFileIsReadWithoutAnotherSearch)
{
    addDevice({"hwmon0", "coretemp", {{"Package id 0", "52000\n"}}});
    ASSERT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
    tree.remove(u"sys/class/hwmon/hwmon0/name"_qs);
    tree.remove(u"sys/class/hwmon/hwmon0/temp1_label"_qs);
    tree.addFile(Input, "60000\n");
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 60);
}

TEST_F(KernelValuesTest, UnreadableHwmonEntriesArePassedOver)
{
    tree.addUnreadable(u"sys/class/hwmon/hwmon0/name"_qs);
    tree.addSymlink(u"sys/class/hwmon/hwmon1"_qs, u"/nonexistent"_qs);
    addDevice({"hwmon2", "k10temp", {{"Tdie", "44000\n"}}});
    tree.addUnreadable(u"sys/class/hwmon/hwmon2/temp2_label"_qs);
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 44);
}

TEST_F(KernelValuesTest, ChannelFailingWithEioIsAbsent)
{
    // Reading /proc/self/mem at offset 0 fails with EIO, through the same
    // pread as every kept reading.
    addDevice({"hwmon0", "k10temp", {{"Tdie", std::nullopt}}});
    tree.addSymlink(Input, u"/proc/self/mem"_qs);
    expectValue("kern.cpu_temp", std::nullopt);
}

TEST(KernelValuesCurrent, NestedLookupsRestoreThePreviousOne)
{
    expectValue("hw.ncpu", std::nullopt);
    FixtureTree outer;
    outer.addFile(u"sys/devices/system/cpu/online"_qs, "0-1\n");
    const KernelValues outerValues(outer.root());
    {
        FixtureTree inner;
        inner.addFile(u"sys/devices/system/cpu/online"_qs, "0-3\n");
        const KernelValues innerValues(inner.root());
        EXPECT_EQ(KernelValues::current(), &innerValues);
        EXPECT_EQ(querySysctlValueAsInt("hw.ncpu"), 4);
    }
    EXPECT_EQ(KernelValues::current(), &outerValues);
    EXPECT_EQ(querySysctlValueAsInt("hw.ncpu"), 2);
}

} // namespace
} // namespace calidra
