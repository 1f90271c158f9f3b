// Start-up to a shown window: the program on sample databases beside the least Qt window of
// the same shape (tinlark-startup-probe --minimal), started one after the other in each round
// so that both meet the same machine. The time is the program's; the counters give the
// minimal window's time, the ratio of the two and the memory the program takes beyond it.
// Run it with --benchmark_repetitions=5 for medians of five.

#include "BenchDatabases.h"

#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <ctime>
#include <stdexcept>

namespace {

struct Shown
{
    double milliseconds = 0;
    double peakMegabytes = 0;
};

// Runs the probe and reads when its window was up, counted from just before it was started.
Shown startProbe(const QString &argument)
{
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    timespec started{};
    clock_gettime(CLOCK_MONOTONIC, &started);
    probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tinlark-startup-probe"), {argument});
    if (!probe.waitForFinished(120000) || probe.exitCode() != 0)
        throw std::runtime_error("the start-up probe failed on " + argument.toStdString());
    const QList<QByteArray> fields = probe.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 3 || fields[0] != "shown")
        throw std::runtime_error("the start-up probe said no time");
    const qint64 startedNs = qint64(started.tv_sec) * 1000000000 + started.tv_nsec;
    return {double(fields[1].toLongLong() - startedNs) / 1e6, fields[2].toDouble() / 1024};
}

void BM_StartUpBesideMinimalWindow(benchmark::State &state)
{
    const QString database = BenchDatabases::pathFor(int(state.range(0)));
    for (auto _ : state) {
        const Shown minimal = startProbe(QStringLiteral("--minimal"));
        const Shown program = startProbe(database);
        state.SetIterationTime(program.milliseconds / 1000);
        state.counters["minimal_ms"] = minimal.milliseconds;
        state.counters["ratio"] = program.milliseconds / minimal.milliseconds;
        state.counters["minimal_MB"] = minimal.peakMegabytes;
        state.counters["extra_MB"] = program.peakMegabytes - minimal.peakMegabytes;
    }
}

BENCHMARK(BM_StartUpBesideMinimalWindow)
    ->Arg(10000)
    ->Arg(BenchDatabases::LargestSize)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
