// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureTree.h"
#include "hardware/KernelValueQueries.h"
#include "hardware/KernelValues.h"

#include <QFile>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>

namespace calidra {
namespace {

const QString Input = u"sys/class/hwmon/hwmon0/temp1_input"_qs;

// A tree with one processor temperature channel, as the sampling tick sees it.
void addTemperatureDriver(FixtureTree& tree)
{
    tree.addFile(u"sys/class/hwmon/hwmon0/name"_qs, "coretemp\n");
    tree.addFile(u"sys/class/hwmon/hwmon0/temp1_label"_qs, "Package id 0\n");
    tree.addFile(Input, "52000\n");
}

// One sampling read through the query function: the kept file, one pread.
void keptOpenRead(benchmark::State& state)
{
    FixtureTree tree;
    addTemperatureDriver(tree);
    const KernelValues values(tree.root());
    for (auto _ : state) {
        benchmark::DoNotOptimize(querySysctlValueAsInt("kern.cpu_temp"));
    }
}

// The same file opened, read and closed on every sample.
void openReadCloseEachTime(benchmark::State& state)
{
    FixtureTree tree;
    addTemperatureDriver(tree);
    const QByteArray path = QFile::encodeName(tree.absolute(Input));
    for (auto _ : state) {
        std::array<char, 64> buffer;
        const int file = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        const ssize_t count = ::read(file, buffer.data(), buffer.size());
        ::close(file);
        int millidegrees = 0;
        std::from_chars(buffer.data(), buffer.data() + std::max<ssize_t>(count, 0), millidegrees);
        benchmark::DoNotOptimize((millidegrees + 500) / 1000);
    }
}

BENCHMARK(keptOpenRead);
BENCHMARK(openReadCloseEachTime);

} // namespace
} // namespace calidra
