#include <QCoreApplication>
#include <benchmark/benchmark.h>

// The benchmarks run with an application object, as the program does, so that
// timers and other event-loop objects can be made.
int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    QCoreApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
