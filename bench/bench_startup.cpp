// Start-up to a painted window: the program on sample databases beside the least Qt window of
// the same shape, started one after the other in each round so that both meet the same
// machine. Both tell when their first frame is painted (TINLARK_REPORT_SHOWN). The time is
// the program's; the counters give the minimal window's time, the ratio of the two and the
// memory the program takes beyond it.
//  - AsStarted: the program as the user starts it (the tinlark launcher, which loads the
//    windows' module), beside tinlark-minimal-window, an executable that needs Qt Widgets alone.
//  - InOneProcess: both windows in tinlark-startup-probe, which holds the whole program from
//    its start: the windows' own work, without the cost of loading the program's libraries.
// Run it with --benchmark_repetitions=5 for medians of five.

#include "BenchDatabases.h"
#include "FileLocations.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>
#include <stdexcept>

namespace {

enum Measure { AsStarted, InOneProcess };

struct Shown
{
    double milliseconds = 0;
    double peakMegabytes = 0;
    double processorMilliseconds = 0;
};

QString benchFolder()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

// Runs a program that ends once its window is painted, and reads when that was, counted from
// just before it was started.
Shown startAndWaitUntilShown(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TINLARK_REPORT_SHOWN"), QStringLiteral("quit"));
    process.setProcessEnvironment(environment);
    timespec started{};
    clock_gettime(CLOCK_MONOTONIC, &started);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        throw std::runtime_error("the start-up of " + program.toStdString() + " failed");
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 4 || fields[0] != "shown")
        throw std::runtime_error(program.toStdString() + " said no time");
    const qint64 startedNs = qint64(started.tv_sec) * 1000000000 + started.tv_nsec;
    return {double(fields[1].toLongLong() - startedNs) / 1e6, fields[2].toDouble() / 1024, fields[3].toDouble() / 1000};
}

// A portable program in a folder of its own, on the database, with the day's backup made
// already, as at every start but the day's first: the copy of a large library would otherwise
// run beside the start-up being measured.
class PortableProgram
{
public:
    explicit PortableProgram(const QString &database)
    {
        const QString built = QFileInfo(benchFolder() + QStringLiteral("../bin/")).canonicalFilePath() + QLatin1Char('/');
        for (const QString &file : {QStringLiteral("tinlark"), QStringLiteral("tinlark-windows.so")})
            if (!QFile::copy(built + file, m_folder.filePath(file)))
                throw std::runtime_error("cannot copy the program into a folder of its own");
        QFile::link(QFileInfo(database).absoluteFilePath(), m_folder.filePath(FileLocations::DefaultDatabaseName));
        QDir(m_folder.path()).mkdir(QStringLiteral("backups"));
        QFile stamp(m_folder.filePath(QStringLiteral("backups/%1-%2.csp")
                                          .arg(QFileInfo(FileLocations::DefaultDatabaseName).completeBaseName(),
                                               QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))));
        stamp.open(QIODevice::WriteOnly);
    }

    QString executable() const { return m_folder.filePath(QStringLiteral("tinlark")); }

private:
    QTemporaryDir m_folder;
};

void BM_StartUpBesideMinimalWindow(benchmark::State &state)
{
    const QString database = BenchDatabases::pathFor(int(state.range(0)));
    const auto measure = Measure(state.range(1));
    const QString probe = benchFolder() + QStringLiteral("tinlark-startup-probe");
    for (auto _ : state) {
        Shown minimal;
        Shown program;
        if (measure == AsStarted) {
            const PortableProgram portable(database);
            minimal = startAndWaitUntilShown(benchFolder() + QStringLiteral("tinlark-minimal-window"), {});
            program = startAndWaitUntilShown(portable.executable(), {});
        } else {
            minimal = startAndWaitUntilShown(probe, {QStringLiteral("--minimal")});
            program = startAndWaitUntilShown(probe, {database});
        }
        state.SetIterationTime(program.milliseconds / 1000);
        state.counters["minimal_ms"] = minimal.milliseconds;
        state.counters["ratio"] = program.milliseconds / minimal.milliseconds;
        state.counters["minimal_MB"] = minimal.peakMegabytes;
        state.counters["extra_MB"] = program.peakMegabytes - minimal.peakMegabytes;
        // Processor time to the first frame: the same comparison, less shaken by a busy machine.
        state.counters["cpu_ms"] = program.processorMilliseconds;
        state.counters["minimal_cpu_ms"] = minimal.processorMilliseconds;
        state.counters["cpu_ratio"] = program.processorMilliseconds / minimal.processorMilliseconds;
    }
}

BENCHMARK(BM_StartUpBesideMinimalWindow)
    ->ArgNames({"speeches", "in_one_process"})
    ->ArgsProduct({{10000, BenchDatabases::LargestSize}, {AsStarted, InOneProcess}})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
