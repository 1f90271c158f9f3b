// Exporting and importing 100,000 speeches of the sample library as CSV and JSON, in speeches
// a second, on the file engine. The import goes into a new empty library each time.

#include "BenchDatabases.h"
#include "Database.h"
#include "RecordReader.h"
#include "RecordWriter.h"
#include "SampleDatabase.h"
#include "SpeechExport.h"
#include "SpeechImport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Speeches = 100000;

QByteArray exportedSample(TransferFormat format)
{
    const std::unique_ptr<Database> database = openDatabase(BenchDatabases::pathFor(Speeches), nullptr);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SpeechExport::write(*database, *RecordWriter::open(format, buffer), QString());
    return buffer.data();
}

void exportAll(benchmark::State &state, TransferFormat format)
{
    const std::unique_ptr<Database> database = openDatabase(BenchDatabases::pathFor(Speeches), nullptr);
    qint64 written = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        written += SpeechExport::write(*database, *RecordWriter::open(format, buffer), QString());
        state.counters["bytes"] = double(buffer.size());
    }
    state.SetItemsProcessed(written);
}

void importAll(benchmark::State &state, TransferFormat format)
{
    const QByteArray file = exportedSample(format);
    QTemporaryDir dir;
    int made = 0;
    qint64 added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = dir.filePath(QStringLiteral("empty%1.csp").arg(++made));
        SampleDatabase::create(path, 0, 0);
        const std::unique_ptr<Database> database = openDatabase(path, nullptr);
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        state.ResumeTiming();
        added += SpeechImport::run(*database, *RecordReader::open(format, buffer), SpeechImport::Mode::Store).added;
    }
    state.SetItemsProcessed(added);
}

} // namespace

BENCHMARK_CAPTURE(exportAll, csv, TransferFormat::Csv)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(exportAll, json, TransferFormat::Json)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(importAll, csv, TransferFormat::Csv)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(importAll, json, TransferFormat::Json)->Unit(benchmark::kMillisecond)->Iterations(3);
