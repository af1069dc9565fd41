// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <benchmark/benchmark.h>

// The benchmarks run with an application object, as the program does, so that
// timers, fonts and the tray face can be made; without a display they draw
// off screen.
int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
