// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusPresenter.h"
#include "defaults/UserDefaults.h"
#include "defaults/UserDefaultsSetup.h"
#include "measurement/Gauge.h"
#include "measurement/GaugeReader.h"
#include "platform/tray/QtTrayFace.h"
#include "platform/tray/StatusItem.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace calidra {
namespace {

// A temperature that changes at every reading, so that every refresh draws.
struct RisingGauge : Gauge
{
    float gauge() override { return reading += 1.0F; }
    float reading = 40;
};

// One refresh as the program makes it after a sample: compose the title from
// the defaults and the reader, then bring the tray face up to date.
void refreshAfterASample(benchmark::State& state)
{
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath(u"settings.ini"_qs));
    _initializeUserDefaults();
    const auto reader = GaugeReader::initWithGauge(std::make_shared<RisingGauge>(), 2.0);
    const StatusPresenter presenter;
    StatusItem item;
    QtTrayFace face(item);
    for (auto _ : state) {
        reader->_gaugeTimerFired();
        item.setTitle(presenter.composeTitle(defaults, reader.get(), nullptr));
    }
}
BENCHMARK(refreshAfterASample)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace calidra
