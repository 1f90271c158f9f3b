// Keyword search and fetching a speech by its ID on a PostgreSQL server: a throwaway server
// with 100,000 speeches in 20 languages, beside the round trip of an empty statement.

#include "DatabaseTexts.h"
#include "PostgresDatabase.h"
#include "PostgresSchema.h"
#include "PostgresServer.h"
#include "SqlCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>

namespace {

constexpr int Speeches = 100000;
constexpr int Languages = 20;

QString dataSource;

// Keywords of the shapes people type, with a word that recurs in one speech in 97 and
// letters beyond ASCII.
const char *const FillSql = R"sql(
INSERT INTO "Taal" ("Taal") SELECT 'Language ' || n FROM generate_series(1, %2) n;
INSERT INTO "Speeches" ("TaalID", "Keywords", "Tekst")
  SELECT 1 + mod(n, %2), 'Straße ' || mod(n, 97) || ' Größe ' || md5(n::text)::varchar(20), repeat('text ', 100)
  FROM generate_series(1, %1) n;
)sql";

void BM_RoundTrip(benchmark::State &state)
{
    PostgresDatabase db(dataSource, nullptr);
    const std::unique_ptr<DatabaseStatement> select = db.prepare(QStringLiteral("SELECT 1"));
    for (auto _ : state) {
        select->reset();
        benchmark::DoNotOptimize(select->step());
    }
}

void BM_FetchById(benchmark::State &state)
{
    PostgresDatabase db(dataSource, nullptr);
    const std::unique_ptr<DatabaseStatement> fetch =
        db.prepare(QStringLiteral("SELECT * FROM (SELECT * FROM \"Speeches\") AS t WHERE \"ID\" = ?"));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> ids(1, Speeches);
    for (auto _ : state) {
        fetch->reset();
        fetch->bind(1, ids(random));
        if (!fetch->step())
            state.SkipWithError("no speech");
        benchmark::DoNotOptimize(fetch->columnValue(3));
    }
}

// range(0): 0 for a run of 3 characters (the trigram index), 1 for a short run (every
// keyword of the language is read).
void BM_KeywordSearch(benchmark::State &state)
{
    PostgresDatabase db(dataSource, nullptr);
    const QString text = state.range(0) == 0 ? QStringLiteral("ẞE 42 GRÖ") : QStringLiteral("4_ g");
    const SqlCommand command = SqlCommand::fromJet(DatabaseTexts::keywordSearch(text, 7), db.textOrderClause());
    size_t hits = 0;
    for (auto _ : state)
        hits = db.findKeywords(command)->size();
    state.counters["hits"] = double(hits);
}

BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FetchById)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeywordSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(missing));
        return 1;
    }
    PostgresServer throwaway;
    if (!throwaway.start() || (dataSource = throwaway.createDatabase(QStringLiteral("bench"))).isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(throwaway.error()));
        return 1;
    }
    {
        PostgresDatabase db(dataSource, nullptr);
        PostgresSchema::create(db);
        QElapsedTimer timer;
        timer.start();
        db.begin();
        db.session().execute(QString::fromUtf8(FillSql).arg(Speeches).arg(Languages).toUtf8());
        db.commit(); // folds the keywords of every speech
        db.session().execute("ANALYZE");
        std::fprintf(stderr, "%d speeches stored and their keywords folded in %lld ms\n", Speeches, timer.elapsed());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
