// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FixtureTree.h"
#include "QtPrinters.h"
#include "hardware/IORegistry.h"
#include "hardware/IORegistryEntry.h"

#include <gtest/gtest.h>

#include <memory>

namespace calidra {

/// A fixture system tree with the process-wide registry over it.
class RegistryTestBase : public testing::Test
{
protected:
    RegistryTestBase() { tree.addFolder(u"sys/devices"_qs); }

    /// The entry at a path below sys/devices ("" for the root).
    std::unique_ptr<IORegistryEntry> entry(const QString& path) const
    {
        return IORegistryEntry::entryFromPath(u"IOService:/"_qs + path);
    }

    // Built in this order and torn down in reverse: each member uses the ones
    // above it, and the process-wide ones stay current until those below are gone.
    FixtureTree tree;
    IORegistry registry{tree.root()};
};

} // namespace calidra
