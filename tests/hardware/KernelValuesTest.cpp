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

constexpr std::string_view CpuInfo = "processor\t: 0\ncpu MHz\t\t: 800.000\n\n"
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

class KernelValuesTest : public ::testing::Test
{
protected:
    void addChannel(const char* device, const char* label, const QByteArray& input)
    {
        const QString folder = u"sys/class/hwmon/"_qs + QString::fromUtf8(device);
        tree.addFile(folder + u"/temp7_label"_qs, QByteArray(label) + '\n');
        tree.addFile(folder + u"/temp7_input"_qs, input);
    }

    FixtureTree tree;
    KernelValues values{tree.root()};
};

struct ProcSysCase
{
    const char* test;
    std::string_view contents;
    qint32 integer;
    std::u16string_view text;
};

void PrintTo(const ProcSysCase& row, std::ostream* out)
{
    *out << row.test;
}

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
                      ProcSysCase{"LeadingBlank", " 5\n", 0, u" 5\0"sv},
                      ProcSysCase{"OnlyOneLineFeedGoes", "5\n\n", 0, u"5\n\0"sv},
                      ProcSysCase{"Empty", "", 0, u"\0"sv},
                      ProcSysCase{"Text", "Linux\n", 0, u"Linux\0"sv},
                      ProcSysCase{"BytesAbove127", "caf\xe9\n", 0, u"caf\u00e9\0"sv}),
    [](const auto& info) { return std::string(info.param.test); });

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

// Files below the system root; a path starting with "hwmon" lies below
// sys/class/hwmon, one starting with "cpu/"
// below sys/devices/system.
struct ComputedCase
{
    const char* test;
    std::vector<std::pair<std::string, std::string>> files;
    std::optional<qint32> expected;
};

void PrintTo(const ComputedCase& row, std::ostream* out)
{
    *out << row.test;
}

class ComputedValueTest : public KernelValuesTest,
                          public ::testing::WithParamInterface<ComputedCase>
{
protected:
    void addFiles()
    {
        for (const auto& [path, contents] : GetParam().files) {
            const std::string folder = path.starts_with("hwmon")  ? "sys/class/hwmon/"
                                       : path.starts_with("cpu/") ? "sys/devices/system/"
                                                                  : "";
            tree.addFile(QString::fromStdString(folder + path),
                         QByteArray::fromStdString(contents));
        }
    }
};

auto caseName = [](const auto& info) { return std::string(info.param.test); };

using ProcessorCountTest = ComputedValueTest;
TEST_P(ProcessorCountTest, CountsOnlineProcessors)
{
    addFiles();
    expectValue("hw.ncpu", GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , ProcessorCountTest,
    ::testing::Values(
        ComputedCase{"OnlineList", {{"cpu/online", "0-3,5,7-8\n"}}, 7},
        ComputedCase{"OneProcessor", {{"cpu/online", "0\n"}}, 1},
        ComputedCase{"RangeCountedNotWalked", {{"cpu/online", "0-2147483646\n"}}, 2147483647},
        ComputedCase{"CountBeyond32Bits", {{"cpu/online", "0-4294967295\n"}}, std::nullopt},
        ComputedCase{
            "Reversed", {{"cpu/online", "3-0\n"}, {"proc/cpuinfo", std::string(CpuInfo)}}, 2},
        ComputedCase{"Overlapping",
                     {{"cpu/online", "0-3,2-5\n"}, {"proc/cpuinfo", std::string(CpuInfo)}},
                     2},
        ComputedCase{
            "TrailingComma", {{"cpu/online", "0-3,\n"}, {"proc/cpuinfo", std::string(CpuInfo)}}, 2},
        ComputedCase{"NumberBeyond32Bits",
                     {{"cpu/online", "0-99999999999\n"}, {"proc/cpuinfo", std::string(CpuInfo)}},
                     2},
        ComputedCase{
            "Garbage", {{"cpu/online", "all\n"}, {"proc/cpuinfo", std::string(CpuInfo)}}, 2},
        ComputedCase{"EmptyList", {{"cpu/online", ""}, {"proc/cpuinfo", std::string(CpuInfo)}}, 2},
        ComputedCase{"CpuinfoAlone", {{"proc/cpuinfo", std::string(CpuInfo)}}, 2},
        ComputedCase{
            "CpuinfoWithoutProcessors", {{"proc/cpuinfo", "flags\t: fpu\n"}}, std::nullopt},
        ComputedCase{"Nothing", {}, std::nullopt}),
    caseName);

using TemperatureTest = ComputedValueTest;
TEST_P(TemperatureTest, ReadsTheDriverChannel)
{
    addFiles();
    expectValue("kern.cpu_temp", GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , TemperatureTest,
    ::testing::Values(ComputedCase{"PackageOverHotterCore",
                                   {{"hwmon0/name", "coretemp\n"},
                                    {"hwmon0/temp1_label", "Package id 0\n"},
                                    {"hwmon0/temp1_input", "55000\n"},
                                    {"hwmon0/temp2_label", "Core 0\n"},
                                    {"hwmon0/temp2_input", "70000\n"}},
                                   55},
                      ComputedCase{"HottestCoreAcrossDevices",
                                   {{"hwmon0/name", "coretemp\n"},
                                    {"hwmon0/temp2_label", "Core 0\n"},
                                    {"hwmon0/temp2_input", "41000\n"},
                                    {"hwmon0/temp3_label", "Core 1\n"},
                                    {"hwmon0/temp3_input", "67000\n"},
                                    {"hwmon3/name", "coretemp\n"},
                                    {"hwmon3/temp2_label", "Core 0\n"},
                                    {"hwmon3/temp2_input", "50000\n"}},
                                   67},
                      ComputedCase{"OtherLabelsIgnored",
                                   {{"hwmon0/name", "coretemp\n"},
                                    {"hwmon0/temp1_label", "Package id 1\n"},
                                    {"hwmon0/temp1_input", "90000\n"},
                                    {"hwmon0/temp2_label", "Core x\n"},
                                    {"hwmon0/temp2_input", "91000\n"},
                                    {"hwmon0/temp3_label", "Core 12\n"},
                                    {"hwmon0/temp3_input", "40000\n"}},
                                   40},
                      ComputedCase{"TdieOverTctl",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", "60000\n"},
                                    {"hwmon0/temp2_label", "Tdie\n"},
                                    {"hwmon0/temp2_input", "50000\n"}},
                                   50},
                      ComputedCase{"TctlAlone",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", "48000\n"}},
                                   48},
                      ComputedCase{"Zenpower",
                                   {{"hwmon0/name", "zenpower\n"},
                                    {"hwmon0/temp1_label", "Tdie\n"},
                                    {"hwmon0/temp1_input", "51000\n"}},
                                   51},
                      ComputedCase{"ByNameNotNumber",
                                   {{"hwmon0/name", "acpitz\n"},
                                    {"hwmon0/temp1_label", "Package id 0\n"},
                                    {"hwmon0/temp1_input", "99000\n"},
                                    {"hwmon1/name", "coretemp\n"},
                                    {"hwmon1/temp1_label", "Package id 0\n"},
                                    {"hwmon1/temp1_input", "45000\n"}},
                                   45},
                      ComputedCase{"HalfRoundsUp",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", "45500\n"}},
                                   46},
                      ComputedCase{"BelowHalfRoundsDown",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", "45499\n"}},
                                   45},
                      ComputedCase{"NegativeHalfRoundsAway",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", "-1500\n"}},
                                   -2},
                      ComputedCase{"OtherDriver",
                                   {{"hwmon0/name", "nvme\n"},
                                    {"hwmon0/temp1_label", "Composite\n"},
                                    {"hwmon0/temp1_input", "40000\n"}},
                                   std::nullopt},
                      ComputedCase{"NameMustMatchWhole",
                                   {{"hwmon0/name", "coretemp2\n"},
                                    {"hwmon0/temp1_label", "Package id 0\n"},
                                    {"hwmon0/temp1_input", "40000\n"}},
                                   std::nullopt},
                      ComputedCase{"LabelWithoutInput",
                                   {{"hwmon0/name", "k10temp\n"}, {"hwmon0/temp1_label", "Tctl\n"}},
                                   std::nullopt},
                      ComputedCase{"GarbageInput",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", "hot\n"}},
                                   std::nullopt},
                      ComputedCase{"EmptyInput",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", ""}},
                                   std::nullopt},
                      ComputedCase{"HugeInput",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", std::string(5000, '1')}},
                                   std::nullopt},
                      ComputedCase{"DegreesBeyond32Bits",
                                   {{"hwmon0/name", "k10temp\n"},
                                    {"hwmon0/temp1_label", "Tctl\n"},
                                    {"hwmon0/temp1_input", "9999999999999\n"}},
                                   std::nullopt}),
    caseName);

using FrequencyTest = ComputedValueTest;
TEST_P(FrequencyTest, ReadsTheFirstOnlineProcessor)
{
    addFiles();
    expectValue("kern.cpu_currentfreq", GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , FrequencyTest,
    ::testing::Values(
        ComputedCase{"Cpufreq",
                     {{"cpu/online", "0-3\n"}, {"cpu/cpu0/cpufreq/scaling_cur_freq", "2400000\n"}},
                     2400},
        ComputedCase{"CpufreqRounds",
                     {{"cpu/online", "0\n"}, {"cpu/cpu0/cpufreq/scaling_cur_freq", "1799500\n"}},
                     1800},
        ComputedCase{"FirstOnline",
                     {{"cpu/online", "2-3\n"},
                      {"cpu/cpu0/cpufreq/scaling_cur_freq", "3000000\n"},
                      {"cpu/cpu2/cpufreq/scaling_cur_freq", "1200000\n"}},
                     1200},
        ComputedCase{"CpuinfoFirstLine",
                     {{"cpu/online", "0\n"}, {"proc/cpuinfo", std::string(CpuInfo)}},
                     800},
        ComputedCase{"CpuinfoRounds", {{"proc/cpuinfo", "cpu MHz\t\t: 2333.500\n"}}, 2334},
        ComputedCase{"GarbageListFallsBack",
                     {{"cpu/online", "0-x\n"},
                      {"cpu/cpu0/cpufreq/scaling_cur_freq", "3000000\n"},
                      {"proc/cpuinfo", std::string(CpuInfo)}},
                     800},
        ComputedCase{"GarbageCpufreqFallsBack",
                     {{"cpu/online", "0\n"},
                      {"cpu/cpu0/cpufreq/scaling_cur_freq", "fast\n"},
                      {"proc/cpuinfo", std::string(CpuInfo)}},
                     800},
        ComputedCase{"GarbageCpuinfo", {{"proc/cpuinfo", "cpu MHz\t\t: fast\n"}}, std::nullopt},
        ComputedCase{"InfiniteCpuinfo", {{"proc/cpuinfo", "cpu MHz\t\t: inf\n"}}, std::nullopt},
        ComputedCase{"CutOffCpuinfo", {{"proc/cpuinfo", "cpu MHz\t\t: 2400"}}, std::nullopt},
        ComputedCase{"Nothing", {}, std::nullopt}),
    caseName);

TEST_F(KernelValuesTest, DriverLoadedLaterIsFound)
{
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "k10temp\n");
    addChannel("hwmon0", "Tctl", "52000\n");
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
}

TEST_F(KernelValuesTest, DriverRemovedFailsUntilItIsBack)
{
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
    addChannel("hwmon0", "Package id 0", "52000\n");
    ASSERT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
    // The kept file of a removed device fails its reads with ENODEV; a fixture
    // file stays readable after it is unlinked, so empty it first.
    tree.addFile(u"sys/class/hwmon/hwmon0/temp7_input"_qs, "");
    tree.remove(u"sys/class/hwmon/hwmon0"_qs);
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 0);
    tree.addFile(u"sys/class/hwmon/hwmon4/name"_qs, "coretemp\n");
    addChannel("hwmon4", "Package id 0", "61000\n");
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 61);
}

TEST_F(KernelValuesTest, KeptFileFollowsItsValue)
{
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
    addChannel("hwmon0", "Package id 0", "52000\n");
    const QString input = u"sys/class/hwmon/hwmon0/temp7_input"_qs;
    for (const auto& [contents, expected] : {std::pair{"52000\n", 52},
                                             {"107000\n", 107},
                                             {"9000\n", 9},
                                             {"oops\n", 0},
                                             {"48000\n", 48}}) {
        tree.addFile(input, contents);
        EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), expected) << contents;
    }
}

TEST_F(KernelValuesTest, KeptFileIsReadWithoutAnotherSearch)
{
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
    addChannel("hwmon0", "Package id 0", "52000\n");
    ASSERT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 52);
    tree.remove(u"sys/class/hwmon/hwmon0/name"_qs);
    tree.remove(u"sys/class/hwmon/hwmon0/temp7_label"_qs);
    tree.addFile(u"sys/class/hwmon/hwmon0/temp7_input"_qs, "60000\n");
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 60);
}

TEST_F(KernelValuesTest, UnreadableHwmonEntriesArePassedOver)
{
    tree.addUnreadable(u"sys/class/hwmon/hwmon0/name"_qs);
    tree.addSymlink(u"sys/class/hwmon/hwmon1"_qs, u"/nonexistent"_qs);
    tree.addFile(u"sys/class/hwmon/hwmon2/name"_qs, "k10temp\n");
    tree.addUnreadable(u"sys/class/hwmon/hwmon2/temp1_label"_qs);
    addChannel("hwmon2", "Tctl", "44000\n");
    EXPECT_EQ(querySysctlValueAsInt("kern.cpu_temp"), 44);
}

TEST_F(KernelValuesTest, ChannelFailingWithEioIsAbsent)
{
    // Reading /proc/self/mem at offset 0 fails with EIO, through the same
    // pread as every kept reading.
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "k10temp\n");
    tree.addFile(u"sys/class/hwmon/hwmon0/temp1_label"_qs, "Tdie\n");
    tree.addSymlink(u"sys/class/hwmon/hwmon0/temp1_input"_qs, u"/proc/self/mem"_qs);
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
