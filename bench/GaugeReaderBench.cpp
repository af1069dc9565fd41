// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurement/Gauge.h"
#include "measurement/GaugeReader.h"

#include <benchmark/benchmark.h>

namespace calidra {
namespace {

// A gauge that costs nothing, so that the figure is the reader's own work.
class ConstantGauge : public Gauge
{
public:
    float gauge() override { return m_reading += 0.001f; }

private:
    float m_reading = 50;
};

void gaugeReaderSamplingStep(benchmark::State& state)
{
    const auto reader = GaugeReader::initWithGauge(std::make_shared<ConstantGauge>(), 2.0);
    for (auto _ : state) {
        reader->_gaugeTimerFired();
    }
    benchmark::DoNotOptimize(reader->tenMinuteAverage());
}
BENCHMARK(gaugeReaderSamplingStep);

} // namespace
} // namespace calidra
