// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/LoadableDriver.h"

#include "FixtureTree.h"

#include <QFile>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace calidra {
namespace {

using Verdict = LoadableDriver::Verdict;

const QByteArray Release = "6.1.0-18-amd64";
const QString Modules = u"lib/modules/6.1.0-18-amd64/"_qs;

constexpr auto cpuinfo = &FixtureTree::cpuinfo;

const QByteArray IntelFlags = "fpu vme de pse tsc msr ht tm pbe syscall nx dtherm ida arat pln pts";
const QByteArray AmdFlags = "fpu vme de pse tsc msr pae mce cx8 apic sep mtrr svm extapic";

// The machine's /proc/cpuinfo (empty: none), its release, a module file below
// the release's module folder (empty: none), its modules.dep (empty: none),
// then the verdict and the driver.
using Machine = std::tuple<const char*, QByteArray, std::optional<QByteArray>, QString, QByteArray,
                           Verdict, QByteArray>;

TEST(LoadableDriverTest, OffersOnlyAModuleThatIsThereAndDrivesThisProcessor)
{
    const QByteArray intel = cpuinfo("GenuineIntel", "6", IntelFlags);
    const QByteArray zen3 = cpuinfo("AuthenticAMD", "25", AmdFlags);
    const auto amd = [](const char* family) { return cpuinfo("AuthenticAMD", family, AmdFlags); };
    const QString coretemp = u"kernel/drivers/hwmon/coretemp.ko"_qs;
    const QString k10temp = u"kernel/drivers/hwmon/k10temp.ko.xz"_qs;
    constexpr Verdict Loadable = Verdict::Loadable, NoModule = Verdict::NoModule,
                      Unsupported = Verdict::UnsupportedProcessor;
    // clang-format off
    const Machine machines[] = {
        {"IntelWithItsModule", intel, Release, coretemp, {}, Loadable, "coretemp"},
        {"CompressedModule", zen3, Release, u"kernel/drivers/hwmon/k10temp.ko.zst"_qs, {}, Loadable, "k10temp"},
        {"ModuleThatModulesDepNames", zen3, Release, {},
         "kernel/drivers/hwmon/nct6775.ko.xz: kernel/drivers/hwmon/hwmon-vid.ko.xz\nupdates/dkms/k10temp.ko:\n",
         Loadable, "k10temp"},
        {"ModuleOnlyADependency", zen3, Release, {},
         "kernel/drivers/hwmon/k10temp-extra.ko: kernel/drivers/hwmon/k10temp.ko\nkernel/drivers/hwmon/k10temp.ko.orig:\n",
         NoModule, "k10temp"},
        {"HygonFamily18h", cpuinfo("HygonGenuine", "24", AmdFlags), Release, k10temp, {}, Loadable, "k10temp"},
        {"AmdFamily10h", amd("16"), Release, k10temp, {}, Loadable, "k10temp"},
        {"AmdFamily1Ah", amd("26"), Release, k10temp, {}, Loadable, "k10temp"},
        // The Athlon 64 (family 0Fh) has k8temp, and 13h never shipped.
        {"AmdFamily0Fh", amd("15"), Release, k10temp, {}, Unsupported, "k10temp"},
        {"AmdFamily13h", amd("19"), Release, k10temp, {}, Unsupported, "k10temp"},
        {"AmdWithoutFamily", amd(nullptr), Release, k10temp, {}, Unsupported, "k10temp"},
        {"AmdFamilyNoNumber", amd("2x"), Release, k10temp, {}, Unsupported, "k10temp"},
        // "dts" is the debug store, not the thermal sensor.
        {"IntelWithoutThermalSensor", cpuinfo("GenuineIntel", "15", "fpu vme de pse tsc msr dts acpi mmx"),
         Release, coretemp, {}, Unsupported, "coretemp"},
        {"VirtualMachine", cpuinfo("GenuineIntel", "6", IntelFlags + " hypervisor"), Release, coretemp, {},
         Verdict::Hypervisor, "coretemp"},
        {"KernelWithoutTheModule", intel, Release, u"kernel/drivers/hwmon/k10temp.ko"_qs,
         "kernel/drivers/hwmon/nct6775.ko:\n", NoModule, "coretemp"},
        {"ModuleOfAnotherKernel", intel, QByteArray("6.1.0-17-amd64"), coretemp, {}, NoModule, "coretemp"},
        {"NoRelease", intel, std::nullopt, coretemp, {}, NoModule, "coretemp"},
        {"ReleaseLeavingTheFolder", intel, QByteArray(".."), coretemp, {}, NoModule, "coretemp"},
        {"ReleaseWithASlash", intel, QByteArray("6.1.0-18-amd64/../6.1.0-18-amd64"), coretemp, {}, NoModule,
         "coretemp"},
        {"OtherVendor", cpuinfo("CentaurHauls", "6", IntelFlags), Release, coretemp, {},
         Verdict::NoDriverForVendor, {}},
        {"NoCpuinfo", {}, Release, coretemp, {}, Verdict::NoDriverForVendor, {}},
    };
    // clang-format on
    for (const auto& [name, processor, release, moduleFile, modulesDep, verdict, driver] :
         machines) {
        SCOPED_TRACE(name);
        FixtureTree tree;
        if (!processor.isEmpty()) {
            tree.addFile(u"proc/cpuinfo"_qs, processor);
        }
        if (release) {
            tree.addFile(u"proc/sys/kernel/osrelease"_qs, *release + '\n');
        }
        tree.addFolder(u"lib/modules/6.1.0-17-amd64"_qs);
        if (!moduleFile.isEmpty()) {
            tree.addFile(Modules + moduleFile, "\x7f"
                                               "ELF");
        }
        if (!modulesDep.isEmpty()) {
            tree.addFile(Modules + u"modules.dep"_qs, modulesDep);
        }
        const LoadableDriver::Finding finding =
            LoadableDriver::examine(QFile::encodeName(tree.root()));
        EXPECT_EQ(finding.verdict, verdict) << finding.explanation.toStdString();
        EXPECT_EQ(finding.driver, driver);
        EXPECT_FALSE(finding.explanation.isEmpty());
    }
}

// A modules.dep that is no regular file is not read, so nothing waits on it.
TEST(LoadableDriverTest, ModuleListThatIsNoFileIsNoModule)
{
    FixtureTree tree;
    tree.addFile(u"proc/cpuinfo"_qs, cpuinfo("AuthenticAMD", "23", AmdFlags));
    tree.addFile(u"proc/sys/kernel/osrelease"_qs, Release + '\n');
    tree.addUnreadable(Modules + u"modules.dep"_qs);
    EXPECT_EQ(LoadableDriver::examine(QFile::encodeName(tree.root())).verdict, Verdict::NoModule);
}

} // namespace
} // namespace calidra
