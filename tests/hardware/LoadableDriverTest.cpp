// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/LoadableDriver.h"

#include "FixtureTree.h"

#include <QFile>
#include <gtest/gtest.h>

#include <optional>

namespace calidra {
namespace {

using Verdict = LoadableDriver::Verdict;

const QByteArray Release = "6.1.0-18-amd64";
const QString Modules = u"lib/modules/6.1.0-18-amd64/"_qs;

constexpr auto cpuinfo = &FixtureTree::cpuinfo;

const QByteArray IntelFlags = "fpu vme de pse tsc msr ht tm pbe syscall nx dtherm ida arat pln pts";
const QByteArray AmdFlags = "fpu vme de pse tsc msr pae mce cx8 apic sep mtrr svm extapic";

struct Machine
{
    const char* name;
    QByteArray cpuinfo; // empty: no /proc/cpuinfo
    std::optional<QByteArray> release;
    QString moduleFile;    // below the release's module folder; empty: none
    QByteArray modulesDep; // empty: no modules.dep
    Verdict verdict;
    QByteArray driver;
};

TEST(LoadableDriverTest, OffersOnlyAModuleThatIsThereAndDrivesThisProcessor)
{
    const QByteArray intel = cpuinfo("GenuineIntel", "6", IntelFlags);
    const QByteArray zen3 = cpuinfo("AuthenticAMD", "25", AmdFlags);
    const QString coretemp = u"kernel/drivers/hwmon/coretemp.ko"_qs;
    const QString k10temp = u"kernel/drivers/hwmon/k10temp.ko.xz"_qs;
    // clang-format off
    const Machine machines[] = {
        {"IntelWithItsModule", intel, Release, coretemp, {}, Verdict::Loadable, "coretemp"},
        {"CompressedModule", zen3, Release, u"kernel/drivers/hwmon/k10temp.ko.zst"_qs, {},
         Verdict::Loadable, "k10temp"},
        {"ModuleThatModulesDepNames", zen3, Release, {},
         "kernel/drivers/hwmon/nct6775.ko.xz: kernel/drivers/hwmon/hwmon-vid.ko.xz\n"
         "updates/dkms/k10temp.ko:\n", Verdict::Loadable, "k10temp"},
        {"ModuleOnlyADependency", zen3, Release, {},
         "kernel/drivers/hwmon/k10temp-extra.ko: kernel/drivers/hwmon/k10temp.ko\n"
         "kernel/drivers/hwmon/k10temp.ko.orig:\n", Verdict::NoModule, "k10temp"},
        {"HygonFamily18h", cpuinfo("HygonGenuine", "24", AmdFlags), Release, k10temp, {},
         Verdict::Loadable, "k10temp"},
        {"AmdFamily10h", cpuinfo("AuthenticAMD", "16", AmdFlags), Release, k10temp, {},
         Verdict::Loadable, "k10temp"},
        {"AmdFamily1Ah", cpuinfo("AuthenticAMD", "26", AmdFlags), Release, k10temp, {},
         Verdict::Loadable, "k10temp"},
        // The Athlon 64 (family 0Fh) has k8temp, and 13h never shipped.
        {"AmdFamily0Fh", cpuinfo("AuthenticAMD", "15", AmdFlags), Release, k10temp, {},
         Verdict::UnsupportedProcessor, "k10temp"},
        {"AmdFamily13h", cpuinfo("AuthenticAMD", "19", AmdFlags), Release, k10temp, {},
         Verdict::UnsupportedProcessor, "k10temp"},
        {"AmdWithoutFamily", cpuinfo("AuthenticAMD", nullptr, AmdFlags), Release, k10temp, {},
         Verdict::UnsupportedProcessor, "k10temp"},
        {"AmdFamilyNoNumber", cpuinfo("AuthenticAMD", "2x", AmdFlags), Release, k10temp, {},
         Verdict::UnsupportedProcessor, "k10temp"},
        // "dts" is the debug store, not the thermal sensor.
        {"IntelWithoutThermalSensor",
         cpuinfo("GenuineIntel", "15", "fpu vme de pse tsc msr dts acpi mmx"), Release, coretemp,
         {}, Verdict::UnsupportedProcessor, "coretemp"},
        {"VirtualMachine", cpuinfo("GenuineIntel", "6", IntelFlags + " hypervisor"), Release,
         coretemp, {}, Verdict::Hypervisor, "coretemp"},
        {"VirtualAmd", cpuinfo("AuthenticAMD", "25", "fpu hypervisor lahf_lm"), Release, k10temp,
         {}, Verdict::Hypervisor, "k10temp"},
        {"KernelWithoutTheModule", intel, Release, u"kernel/drivers/hwmon/k10temp.ko"_qs,
         "kernel/drivers/hwmon/nct6775.ko:\n", Verdict::NoModule, "coretemp"},
        {"ModuleOfAnotherKernel", intel, QByteArray("6.1.0-17-amd64"), coretemp, {},
         Verdict::NoModule, "coretemp"},
        {"NoRelease", intel, std::nullopt, coretemp, {}, Verdict::NoModule, "coretemp"},
        {"ReleaseLeavingTheFolder", intel, QByteArray(".."), coretemp, {}, Verdict::NoModule,
         "coretemp"},
        {"ReleaseWithASlash", intel, QByteArray("6.1.0-18-amd64/../6.1.0-18-amd64"), coretemp,
         {}, Verdict::NoModule, "coretemp"},
        {"OtherVendor", cpuinfo("CentaurHauls", "6", IntelFlags), Release, coretemp, {},
         Verdict::NoDriverForVendor, {}},
        {"NoCpuinfo", {}, Release, coretemp, {}, Verdict::NoDriverForVendor, {}},
    };
    // clang-format on
    for (const Machine& machine : machines) {
        SCOPED_TRACE(machine.name);
        FixtureTree tree;
        if (!machine.cpuinfo.isEmpty()) {
            tree.addFile(u"proc/cpuinfo"_qs, machine.cpuinfo);
        }
        if (machine.release) {
            tree.addFile(u"proc/sys/kernel/osrelease"_qs, *machine.release + '\n');
        }
        tree.addFolder(u"lib/modules/6.1.0-17-amd64"_qs);
        if (!machine.moduleFile.isEmpty()) {
            tree.addFile(Modules + machine.moduleFile, "\x7f"
                                                       "ELF");
        }
        if (!machine.modulesDep.isEmpty()) {
            tree.addFile(Modules + u"modules.dep"_qs, machine.modulesDep);
        }
        const LoadableDriver::Finding finding =
            LoadableDriver::examine(QFile::encodeName(tree.root()));
        EXPECT_EQ(finding.verdict, machine.verdict) << finding.explanation.toStdString();
        EXPECT_EQ(finding.driver, machine.driver);
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
