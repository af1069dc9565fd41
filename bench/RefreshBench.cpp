// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureBundle.h"
#include "FixtureTree.h"
#include "WaitUntil.h"
#include "app/StatusPresenter.h"
#include "app/TemperatureController.h"
#include "defaults/UserDefaults.h"
#include "defaults/UserDefaultsSetup.h"
#include "hardware/IORegistry.h"
#include "hardware/KernelValues.h"
#include "measurement/Gauge.h"
#include "measurement/GaugeReader.h"
#include "platform/tray/QtTrayFace.h"
#include "platform/tray/StatusItem.h"
#include "platform/tray/Tray.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

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

// An x86 machine with its temperature driver loaded, the settings in a
// temporary file, and the program's controller started over them: its
// temperature reader reads the driver's file as the program does.
struct RunningProgram
{
    RunningProgram()
    {
        tree.addFile(u"proc/cpuinfo"_qs, "processor\t: 0\nvendor_id\t: GenuineIntel\n");
        tree.addFile(u"sys/devices/system/cpu/online"_qs, "0\n");
        tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
        tree.addFile(u"sys/class/hwmon/hwmon0/temp1_label"_qs, "Package id 0\n");
        tree.addFile(Input, "52000\n");
        bundle.tree.addSymlink(u"Calidra/Resources/IntelModels.plist"_qs,
                               QStringLiteral(CALIDRA_SHIPPED_RESOURCES "/IntelModels.plist"));
        bundle.addResource(u"Scripts/statSpeedIt.sh"_qs, "echo 1\n");
        input = ::open(QFile::encodeName(tree.absolute(Input)).constData(), O_WRONLY);
        controller.awakeFromNib();
        waitUntil([this] { return controller.tray() && controller.tray()->face(); });
    }
    ~RunningProgram() { ::close(input); }

    // Writes the sensor's next reading in place, as the driver's file
    // changes: millidegrees of five digits, so no reader sees a short file.
    void setReading(int degrees) const
    {
        const QByteArray text = QByteArray::number(degrees * 1000) + '\n';
        benchmark::DoNotOptimize(::pwrite(input, text.constData(), std::size_t(text.size()), 0));
    }

    static inline const QString Input = u"sys/class/hwmon/hwmon0/temp1_input"_qs;
    FixtureTree tree;
    FixtureBundle bundle;
    IORegistry registry{tree.root()};
    KernelValues values{tree.root()};
    QTemporaryDir folder;
    UserDefaults defaults{folder.filePath(u"settings.ini"_qs)};
    TemperatureController controller;
    int input = -1;
};

// A whole tick of the program on the system tray icon's path: the sample
// read from the sensor's file, the refresh it makes, and the tray painting
// the icon at its usual 22 pixels when it changed, as a tray does. With
// `changing` the temperature cycles through 60 values, one per tick, as a
// real sensor's do over some minutes; otherwise it stays.
void wholeTick(benchmark::State& state)
{
    RunningProgram program;
    auto* face = qobject_cast<QtTrayFace*>(program.controller.tray()->face());
    GaugeReader* reader = program.controller.currentTemperatureReader();
    if (!face || !reader) {
        state.SkipWithError("no system tray icon or no temperature reader");
        return;
    }
    QImage tray(22, 22, QImage::Format_ARGB32_Premultiplied);
    qint64 painted = 0;
    int tick = 0;
    int paints = 0;
    for (auto _ : state) {
        if (state.range(0) != 0) {
            program.setReading(40 + tick++ % 60);
        }
        reader->_gaugeTimerFired();
        if (const QIcon icon = face->icon(); icon.cacheKey() != painted) {
            QPainter painter(&tray);
            icon.paint(&painter, tray.rect());
            painted = icon.cacheKey();
            ++paints;
        }
    }
    state.counters["paints per tick"] =
        benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(wholeTick)->ArgName("changing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace calidra
