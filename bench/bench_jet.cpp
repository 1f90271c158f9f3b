// Converting the two Access speech databases kept for tests (a Jet 4 file of 569 KB and a
// Jet 3 file of 180 KB), in rows and bytes of Jet file a second; beside it, as the baseline,
// a plain copy of the same file written through to the disk, as the conversion's is. No Jet
// writer is to be had for a larger file, so the two shares of a conversion are measured
// apart as well: reading the Jet file (bytes a second, done twice: to copy and to check) and
// writing and checking the rows of 10,000 speeches of 1,000 characters each.
// Argument: 0 the Jet 4 file, 1 the Jet 3 file.

#include "ConvertedDatabase.h"
#include "JetConverter.h"
#include "JetDatabase.h"
#include "JetTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char *const Fixtures[] = {TINLARK_JET_FIXTURES "/speeches-jet4-a2000.mdb",
                                TINLARK_JET_FIXTURES "/speeches-jet3-cp1252.mdb"};

void BM_ConvertJet(benchmark::State &state)
{
    const QString source = QString::fromUtf8(Fixtures[state.range(0)]);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Speeches.csp"));
    JetConversion converted;
    for (auto _ : state) {
        converted = JetConverter::convert(source, target);
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    const double rows = double(converted.languages + converted.speeches);
    state.counters["rows_per_second"] = benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["speeches_per_second"] =
        benchmark::Counter(double(converted.speeches), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(qint64(state.iterations()) * QFile(source).size());
}

void BM_CopyFileBaseline(benchmark::State &state)
{
    const QString source = QString::fromUtf8(Fixtures[state.range(0)]);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("copy.mdb"));
    for (auto _ : state) {
        QFile::copy(source, target);
        const int file = ::open(QFile::encodeName(target).constData(), O_RDONLY);
        ::fsync(file);
        ::close(file);
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * QFile(source).size());
}

void BM_ReadJet(benchmark::State &state)
{
    const QString source = QString::fromUtf8(Fixtures[state.range(0)]);
    for (auto _ : state) {
        JetDatabase jet(source);
        for (const JetTableLayout *layout : {&SpeechTables::languages(), &SpeechTables::speeches()}) {
            const std::unique_ptr<JetTable> table = jet.table(*layout);
            QVariantList row;
            while (table->next(row))
                benchmark::DoNotOptimize(row);
        }
    }
    state.SetBytesProcessed(qint64(state.iterations()) * QFile(source).size());
}

void BM_WriteAndCheckSpeeches(benchmark::State &state)
{
    const qint64 speeches = state.range(0);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Speeches.csp"));
    const QString text = QStringLiteral("Dames en heren, welkom bij deze bijeenkomst. ").repeated(22).left(1000);
    for (auto _ : state) {
        QFile(target).open(QIODevice::WriteOnly);
        {
            ConvertedDatabase out = ConvertedDatabase::create(target, target, {});
            for (qint64 id = 1; id <= speeches; ++id)
                out.insert(SpeechTables::speeches(), {id, qint64(1), QStringLiteral("keywords %1").arg(id), text, QVariant()});
            out.continueNumbering(SpeechTables::speeches(), speeches);
            out.commit();
        }
        ConvertedDatabase back = ConvertedDatabase::open(target, target);
        for (qint64 id = 1; id <= speeches; ++id)
            benchmark::DoNotOptimize(back.row(SpeechTables::speeches(), id));
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.counters["speeches_per_second"] = benchmark::Counter(double(speeches), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_ReadJet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteAndCheckSpeeches)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertJet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyFileBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
