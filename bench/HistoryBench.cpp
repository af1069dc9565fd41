// SPDX-License-Identifier: GPL-3.0-or-later
#include "formatting/TemperatureValueTransformer.h"
#include "measurement/Gauge.h"
#include "measurement/GaugeReader.h"
#include "measurement/SampleHistory.h"
#include "statistics_window/HistoryGraph.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>

namespace calidra {
namespace {

// The memory of one reader's history at an interval given in milliseconds,
// and the cost of its rebuild.
void historyMemory(benchmark::State& state)
{
    const double interval = double(state.range(0)) / 1000.0;
    for (auto _ : state) {
        SampleHistory history(interval);
        benchmark::DoNotOptimize(history.capacity());
    }
    state.counters["bytes"] = double(SampleHistory(interval).memoryBytes());
}
BENCHMARK(historyMemory)->Arg(500)->Arg(2000);

struct WavyGauge : Gauge
{
    float gauge() override { return 50 + 10 * std::sin(step++ / 40.0F); }
    float step = 0;
};

// One redraw of a graph over a full history at the shortest interval.
void historyGraphRedraw(benchmark::State& state)
{
    const auto reader = GaugeReader::initWithGauge(std::make_shared<WavyGauge>(), 0.5);
    while (reader->history().size() < reader->history().capacity()) {
        reader->_gaugeTimerFired();
    }
    const TemperatureValueTransformer transformer;
    QWidget parent;
    parent.resize(360, 130);
    HistoryGraph graph(QPointF(10, 10), &parent);
    graph.updateWithGaugeReader(*reader, transformer);
    QImage image(graph.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        graph.draw(painter);
    }
    state.counters["points"] = reader->history().size();
}
BENCHMARK(historyGraphRedraw)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace calidra
