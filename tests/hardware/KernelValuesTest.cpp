// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/KernelValues.h"

#include "FixtureTree.h"
#include "LogRecorder.h"
#include "QtPrinters.h"
#include "hardware/FolderName.h"
#include "hardware/KernelText.h"
#include "hardware/KernelValueQueries.h"
#include "hardware/PlausibleTemperature.h"
#include "hardware/ProcessorTemperatureSensor.h"
#include "hardware/SearchReport.h"
#include "hardware/SysfsFile.h"

#include <QFile>
#include <gtest/gtest.h>

namespace calidra {
namespace {

const QString Cpu = u"sys/devices/system/cpu/"_qs;

// The integer form gives `expected` (0 when absent), the text form its digits and U+0000.
void expectValue(const char* name, std::optional<qint32> expected)
{
    EXPECT_EQ(
        std::pair(querySysctlValueAsInt(name), querySysctlValueAsString(name)),
        std::pair(expected.value_or(0),
                  expected ? std::optional(QString::number(*expected) + u'\0') : std::nullopt))
        << (name ? name : "null");
}

TEST(KernelText, EveryByteBecomesACharacterFolderNamesSplitAndSortAndPlausibleTemperatures)
{
    EXPECT_EQ(decodeKernelText("caf\xc3\xa9"), u"café"_qs);
    EXPECT_EQ(decodeKernelText(QByteArrayView("a\xff\x80z", 4)), u"a\u00ff\u0080z"_qs);
    EXPECT_EQ(decodeKernelText(QByteArrayView("abcdef\0", 7)), u"abcdef\0"_qs);
    EXPECT_FALSE(decodeKernelText(QByteArrayView()).isNull());
    // Folder, name, location ("-": none). A base must not be empty nor end in a digit.
    // clang-format off
    const char* const cases[][3] = {
        {"thermal_zone0", "thermal_zone", "0"}, {"coretemp.0", "coretemp", "0"}, {"cpu@1", "cpu", "1"},
        {"soc@fe000000", "soc", "fe000000"}, {"hwmon12", "hwmon", "12"}, {"platform", "platform", "-"},
        {"42", "42", "-"}, {"@3", "@", "3"}, {"1.0", "1.", "0"}, {"cpu@", "cpu@", "-"}};
    // clang-format on
    for (const auto& [folder, name, location] : cases) {
        const FolderName parsed = FolderName::parse(folder);
        EXPECT_EQ(parsed.name(), QString::fromUtf8(name)) << folder;
        EXPECT_EQ(parsed.location().value_or(u"-"_qs), QString::fromUtf8(location)) << folder;
    }
    // By name then location as a number: device-tree unit addresses are hexadecimal.
    std::vector<QByteArray> folders{"thermal_zone10", "cooling_device1", "cpu@10", "thermal_zone2",
                                    "thermal_zone",   "cpu@1f",          "cpu@a",  "cpu@f"};
    FolderName::sort(folders);
    EXPECT_EQ(folders,
              (std::vector<QByteArray>{"cooling_device1", "cpu@a", "cpu@f", "cpu@10", "cpu@1f",
                                       "thermal_zone", "thermal_zone2", "thermal_zone10"}));
    // Only temperatures above zero up to 200 degrees are plausible.
    constexpr double Inf = std::numeric_limits<double>::infinity();
    // clang-format off
    const std::pair<double, bool> rows[] = {
        {0.001, true}, {45.5, true}, {200.0, true}, {0.0, false}, {-0.0, false}, {-40.0, false},
        {200.001, false}, {2147483.647, false}, {3.4e38, false}, {Inf, false}, {-Inf, false},
        {std::numeric_limits<double>::quiet_NaN(), false}};
    // clang-format on
    for (const auto& [celsius, plausible] : rows)
        EXPECT_EQ(PlausibleTemperature::contains(celsius), plausible) << celsius;
}

class KernelValuesTest : public ::testing::Test
{
protected:
    // Torn down in reverse: the process-wide values stay current until the tree is gone.
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
                             "kernel.socket", "kernel.huge"})
        expectValue(name, std::nullopt);
    expectValue(nullptr, std::nullopt);
    // The text form drops one line feed and ends with U+0000.
    const std::pair<const char*, QString> rows[] = {
        {"0\n", u"0\0"_qs}, {"4294967297\n", u"4294967297\0"_qs}, {"Linux\n", u"Linux\0"_qs}};
    for (const auto& [contents, text] : rows) {
        tree.addFile(u"proc/sys/a/b"_qs, contents);
        EXPECT_EQ(std::pair(querySysctlValueAsInt("a.b"), querySysctlValueAsString("a.b")),
                  std::pair(0, std::optional(text)))
            << contents;
    }
}

// cpu0 and cpu2 have cpufreq files, cpuinfo stands in for the rest; an unreadable list leaves
// the choice to the folders. A clock file that fails is let go and looked for afresh.
TEST_F(KernelValuesTest, CountAndClockFollowTheOnlineListElseCpuinfo)
{
    const QString clock = Cpu + u"cpu0/cpufreq/scaling_cur_freq"_qs;
    tree.addFile(clock, "2400000\n");
    tree.addFile(Cpu + u"cpu2/cpufreq/scaling_cur_freq"_qs, "1200000\n");
    tree.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\ncpu MHz\t\t: 799.500\n\nprocessor\t: 1\n");
    // clang-format off
    const std::tuple<const char*, qint32, qint32> rows[] = {{"0-3,5,7-8\n", 7, 2400}, {"2-3\n", 2, 1200},
        {"1\n", 1, 800}, {"0-2147483646\n", 2147483647, 2400}, {"all\n", 2, 2400}};
    // clang-format on
    for (const auto& [online, count, megahertz] : rows) {
        SCOPED_TRACE(online);
        tree.addFile(Cpu + u"online"_qs, online);
        const KernelValues fresh(tree.root()); // keeps no clock file from the last row
        expectValue("hw.ncpu", count);
        expectValue("kern.cpu_currentfreq", megahertz);
    }
    tree.addFile(Cpu + u"online"_qs, "0\n");
    tree.remove(u"proc/cpuinfo"_qs);
    expectValue("kern.cpu_currentfreq", 2400);
    tree.addFile(clock, ""); // an unlinked fixture file fails once empty
    tree.remove(clock);
    expectValue("kern.cpu_currentfreq", std::nullopt);
    tree.addFile(clock, "1500000\n");
    expectValue("kern.cpu_currentfreq", 1500);
}

// The lowest-numbered folder that is online (its online file says 1, or it has none).
TEST_F(KernelValuesTest, ClockWithoutAnOnlineListComesFromTheFirstOnlineProcessorFolder)
{
    const QByteArray f = "/cpufreq/scaling_cur_freq";
    using Files = std::vector<std::pair<QByteArray, QByteArray>>;
    // clang-format off
    const std::tuple<const char*, Files, qint32> rows[] = {
        {"Cpu0WithoutOnlineFile", {{"cpu0" + f, "1219917\n"}}, 1220},
        {"Cpu0SaysOnline", {{"cpu0/online", "1"}, {"cpu0" + f, "1500000\n"}}, 1500},
        {"OfflineCpu0IsPassedOver", {{"cpu0/online", "0\n"}, {"cpu0" + f, "1000000\n"},
                                     {"cpu2/online", "1\n"}, {"cpu2" + f, "2000000\n"}}, 2000},
        {"NumbersCountNotNames", {{"cpu0/online", "0\n"}, {"cpu1/online", "0\n"},
                                  {"cpu10" + f, "1000000\n"}, {"cpu9" + f, "900000\n"}}, 900},
        {"OtherNamesAreNoProcessors", {{f.mid(1), "1000000\n"}, {"cpu01" + f, "1000000\n"},
            {"cpu-1" + f, "1000000\n"}, {"cpu4294967296" + f, "1000000\n"}, {"cpu3" + f, "3000000\n"}}, 3000},
        {"AGarbledOnlineFileIsOffline", {{"cpu0/online", "yes\n"}, {"cpu1" + f, "1100000\n"}}, 1100},
        {"FirstOnlineWithoutCpufreqGivesCpuinfo", {{"cpu0/topology/core_id", "0\n"}, {"cpu1" + f, "1000000\n"}}, 800},
        {"AllOfflineGivesCpuinfo", {{"cpu0/online", "0\n"}, {"cpu0" + f, "1000000\n"}}, 800},
        {"NoFoldersGivesCpuinfo", {}, 800},
    };
    // clang-format on
    for (const auto& [name, files, megahertz] : rows) {
        SCOPED_TRACE(name);
        FixtureTree machine;
        machine.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\ncpu MHz\t\t: 799.998\n");
        for (const auto& [path, contents] : files)
            machine.addFile(Cpu + QString::fromLatin1(path), contents);
        KernelValues machineValues(machine.root());
        expectValue("kern.cpu_currentfreq", megahertz);
    }
}

// The recorded machines show package over cores, Tdie over Tctl, several packages; these are the
// rest.
TEST_F(KernelValuesTest, TemperatureComesFromThePreferredDriverChannelAmongThousands)
{
    // The hwmon devices (hwmon0, hwmon1...), the value, and the sensor as About names it.
    using Devices = std::vector<std::pair<QByteArray, std::vector<FixtureTree::Channel>>>;
    // clang-format off
    const std::tuple<Devices, std::optional<qint32>, QString> rows[] = {
        // The hottest core across devices, without a package.
        {{{"coretemp", {{"Core 0", "41000"}, {"Core 1", "67000"}}}, {"coretemp", {{"Core 0", "50000"}}}},
         67, u"coretemp, Core 0, Core 1"_qs},
        {{{"coretemp", {{"Core 0", "1000"}, {"Core 1", "1000"}, {"Core 2", "1000"}, {"Core 3", "9000"}}}},
         9, u"coretemp, Core 0, …, Core 3"_qs},
        {{{"zenpower", {{"Tctl", "63000"}}}}, 63, u"zenpower, Tctl"_qs},
        // By name, not number.
        {{{"acpitz", {{"Tdie", "99000"}}}, {"k10temp", {{"Tdie", "45000"}}}}, 45, u"k10temp, Tdie"_qs},
        // A half rounds up, and away from zero.
        {{{"k10temp", {{"Tctl", "45500"}}}}, 46, u"k10temp, Tctl"_qs},
        {{{"k10temp", {{"Tctl", "-1500"}}}}, -2, u"k10temp, Tctl"_qs},
        // No number, no package.
        {{{"coretemp", {{"Package id x", "80000"}, {"Core 0", "40000"}}}}, 40, u"coretemp, Core 0"_qs},
        // k10temp's unlabelled temp1 is its Tctl, below Tdie; no other driver's is.
        {{{"k10temp", {{nullptr, "61000"}, {"Tdie", "40000"}}}}, 40, u"k10temp, Tdie"_qs},
        {{{"zenpower", {{nullptr, "61000"}}}, {"k10temp", {{"Tccd1", "50000"}}}}, std::nullopt, u""_qs},
    };
    // clang-format on
    for (const auto& [devices, expected, source] : rows) {
        SCOPED_TRACE(source.toStdString());
        FixtureTree machine;
        KernelValues machineValues(machine.root());
        for (size_t number = 0; number < devices.size(); ++number)
            machine.addHwmon(int(number), devices[number].first, devices[number].second);
        expectValue("kern.cpu_temp", expected);
        EXPECT_EQ(ProcessorTemperatureSensor(ProcessorTemperatureSensor::Input::DriverChannels,
                                             QFile::encodeName(machine.root()))
                      .read()
                      .sensor,
                  expected ? std::optional(source) : std::nullopt);
    }
    EXPECT_EQ(KernelValues::current(), &values); // each nested lookup restored the previous one
    expectValue("kern.cpu_temp", std::nullopt);

    // Thousands of cores: only a few dozen files stay open, the rest are read afresh.
    const QString hottest = u"sys/class/hwmon/hwmon0/temp1999_input"_qs; // not among the kept
    std::vector<QByteArray> labels(2000); // the channels point into it
    std::vector<FixtureTree::Channel> channels;
    for (int core = 0; core < 2000; ++core)
        channels.emplace_back((labels[core] = "Core " + QByteArray::number(core)).constData(),
                              "40000");
    tree.addHwmon(0, "coretemp", channels);
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

// Each sample queries both values, neither there, so each searches again.
TEST_F(KernelValuesTest, ASearchIsToldOnlyWhenAskedAndOnlyWhenWhatItFindsChanges)
{
    const auto sample = [](const QString& rules) {
        const LogRecorder log(rules);
        for (int i = 0; i < 5; ++i) {
            querySysctlValueAsInt("kern.cpu_temp");
            querySysctlValueAsInt("kern.cpu_currentfreq");
        }
        return log.messages;
    };
    tree.addFile(Cpu + u"online"_qs, "0\n");
    tree.addHwmon(0, "nvme", {{"Composite", "38850"}});
    EXPECT_EQ(sample({}), QStringList());
    EXPECT_FALSE(SearchReport::isWanted());
    const QString on = u"calidra.*.debug=true"_qs;
    EXPECT_EQ(sample(on),
              QStringList({u"calidra.hardware driver channels: hwmon0 nvme -> no channel of "
                           "coretemp, k10temp or zenpower"_qs,
                           u"calidra.hardware clock: cpu0 is the first online processor (by the "
                           "online list); nothing gives the clock"_qs}));
    EXPECT_EQ(sample(on), QStringList());
    tree.addHwmon(1, "k10temp", {{nullptr, "41000"}}); // found, told once, then read unsearched
    EXPECT_EQ(sample(on),
              QStringList(u"calidra.hardware driver channels: hwmon0 nvme; hwmon1 k10temp: temp1 "
                          "-> k10temp, temp1 (Tctl, as no Tdie is there)"_qs));
}

} // namespace
} // namespace calidra
