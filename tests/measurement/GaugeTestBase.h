#pragma once

#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "hardware/IORegistry.h"
#include "hardware/KernelValues.h"

#include <gtest/gtest.h>

#include <optional>

namespace calidra {

/// A machine model from a table row of a test: null for none.
inline std::optional<QString> modelOf(const char* model)
{
    return model ? std::optional(QString::fromUtf8(model)) : std::nullopt;
}

/// A fixture system tree with the process-wide registry and kernel values over
/// it, and a fixture bundle as the main bundle.
class GaugeTestBase : public testing::Test
{
protected:
    GaugeTestBase() { tree.addFolder(u"sys/devices"_qs); }

    /// Gives the machine a device tree whose model is `model`.
    void setBoardModel(const QByteArray& model)
    {
        tree.addFile(u"sys/firmware/devicetree/base/model"_qs, model + '\0');
    }

    /// Gives the machine an x86 processor of `vendor` with a package
    /// temperature (millidegrees) and a clock (kHz), each unless empty.
    void setProcessor(const QByteArray& vendor, const QByteArray& temperature,
                      const QByteArray& clock)
    {
        tree.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\nvendor_id\t: " + vendor + '\n');
        tree.addFile(u"sys/devices/system/cpu/online"_qs, "0-3\n");
        if (!temperature.isEmpty()) {
            tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
            tree.addFile(u"sys/class/hwmon/hwmon0/temp1_label"_qs, "Package id 0\n");
            tree.addFile(u"sys/class/hwmon/hwmon0/temp1_input"_qs, temperature + '\n');
        }
        if (!clock.isEmpty()) {
            tree.addFile(u"sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"_qs, clock + '\n');
        }
    }

    FixtureTree tree;
    FixtureBundle bundle;
    IORegistry registry{tree.root()};
    KernelValues values{tree.root()};
};

} // namespace calidra
