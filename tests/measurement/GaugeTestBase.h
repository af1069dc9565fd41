// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "QtPrinters.h"
#include "hardware/IORegistry.h"
#include "hardware/KernelValues.h"

#include <gtest/gtest.h>

namespace calidra {

/// A fixture system tree with the process-wide registry and kernel values over
/// it, and a fixture bundle as the main bundle.
class GaugeTestBase : public testing::Test
{
protected:
    GaugeTestBase() { tree.addFolder(u"sys/devices"_qs); }

    /// Links the shipped data files (the model list and the sensor table)
    /// into the bundle.
    void useShippedResources()
    {
        for (const QString& name : {u"IntelModels.plist"_qs, u"PPCSensors.plist"_qs}) {
            bundle.tree.addSymlink(u"Calidra/Resources/"_qs + name,
                                   QString::fromUtf8(CALIDRA_SHIPPED_RESOURCES) + u'/' + name);
        }
    }

    /// Gives the machine a device tree whose model is `model`.
    void setBoardModel(const QByteArray& model)
    {
        tree.addFile(u"sys/firmware/devicetree/base/model"_qs, model + '\0');
    }

    /// Gives the machine four x86 processors of `vendor`.
    void setProcessor(const QByteArray& vendor)
    {
        tree.addFile(u"proc/cpuinfo"_qs, FixtureTree::cpuinfo(vendor));
        tree.addFile(u"sys/devices/system/cpu/online"_qs, "0-3\n");
    }

    // Built in this order and torn down in reverse: each member uses the ones
    // above it, and the process-wide ones stay current until those below are gone.
    FixtureTree tree;
    FixtureBundle bundle;
    IORegistry registry{tree.root()};
    KernelValues values{tree.root()};
};

} // namespace calidra
