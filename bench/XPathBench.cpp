// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "hardware/IORegistry.h"
#include "hardware/IORegistryEntry.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace calidra {
namespace {

// A registry of about `entries` entries: buses, each with devices, where only
// the very last device carries the property that the path asks for, so the
// query walks the whole tree before it matches.
void buildTree(FixtureTree& tree, int entries)
{
    const int buses = static_cast<int>(std::sqrt(entries));
    const int devices = entries / buses - 1;
    for (int bus = 0; bus < buses; ++bus) {
        for (int device = 0; device < devices; ++device) {
            tree.addFolder(u"sys/devices/bus%1/dev%2"_qs.arg(bus).arg(device));
        }
    }
    tree.addFile(u"sys/devices/bus%1/dev%2/type"_qs.arg(buses - 1).arg(devices - 1), "temp\n");
}

void entryFromXPathMatchingLate(benchmark::State& state)
{
    FixtureTree tree;
    buildTree(tree, static_cast<int>(state.range(0)));
    const IORegistry registry(tree.root());
    const QString path = u"/bus/dev[@type='temp']"_qs;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IORegistryEntry::entryFromXPath(path));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(entryFromXPathMatchingLate)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
} // namespace calidra
