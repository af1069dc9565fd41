// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "hardware/IORegistry.h"
#include "measurement/PPCCPUTemperatureGauge.h"

#include <benchmark/benchmark.h>

namespace calidra {
namespace {

// One sample of a sensor-table gauge over `sensors` thermal zones, each one
// property file read per sample.
void sensorTableGaugeSample(benchmark::State& state)
{
    const int sensors = static_cast<int>(state.range(0));
    FixtureTree tree;
    FixtureBundle bundle;
    QByteArray paths;
    for (int zone = 0; zone < sensors; ++zone) {
        tree.addFile(u"sys/devices/virtual/thermal/thermal_zone%1/temp"_qs.arg(zone), "48250\n");
        paths += "<string>/virtual/thermal/thermal_zone[" + QByteArray::number(zone) + "]</string>";
    }
    bundle.addResource(
        u"PPCSensors.plist"_qs,
        FixtureBundle::xml("<dict><key>Board</key><dict><key>xpath</key><array>" + paths +
                           "</array><key>property</key><string>temp</string>"
                           "<key>factor</key><integer>1000</integer></dict></dict>"));
    const IORegistry registry(tree.root());
    const auto gauge = PPCCPUTemperatureGauge::initForMachineModel(u"Board"_qs);
    if (!gauge) {
        state.SkipWithError("no gauge");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(gauge->gauge());
    }
}
BENCHMARK(sensorTableGaugeSample)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace calidra
