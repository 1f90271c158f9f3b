// The day's backup of the 1,000,000-speech sample file: copied page by page, checked with
// integrity_check and written through to the disk, in megabytes of library a second
// (bench_jet's BM_CopyFileBaseline shows what a plain copy of a file costs).

#include "BenchDatabases.h"
#include "LibraryBackup.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Speeches = 1000000;

void BM_Backup(benchmark::State &state)
{
    const QString database = BenchDatabases::pathFor(Speeches);
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const QString made = LibraryBackup::make(database, dir.path(), now);
        state.PauseTiming();
        QFile::remove(made);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * QFile(database).size());
}

} // namespace

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime();
