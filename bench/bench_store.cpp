// The database work of the main window over sample databases of 10,000 to 1,000,000 speeches.
// Arguments: number of speeches, language (20: 500 speeches at every size; 1: a large one),
// number of languages (20; or 2: a single language of a million speeches beside a small one),
// engine (0: the sample file; 1: a copy of it on a PostgreSQL server, which the same process
// starts when a benchmark on it is first run).

#include "BatchedJob.h"
#include "BenchDatabases.h"
#include "Database.h"
#include "Connection.h"
#include "DatabaseTexts.h"
#include "Field.h"
#include "RecordSet.h"
#include "ServerSamples.h"
#include "Statement.h"
#include "TransactionGuard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <random>

namespace {

enum Engine { File, Server };

// The connection string of the sample library the arguments name, on their engine.
QString sampleConnectionString(const benchmark::State &state)
{
    const int speeches = int(state.range(0));
    const int languages = int(state.range(2));
    return DatabaseTexts::connectionString(state.range(3) == Server
                                               ? ServerSamples::thisRun().dataSourceFor(speeches, languages)
                                               : BenchDatabases::pathFor(speeches, languages));
}

struct OpenDatabase
{
    Connection connection;
    RecordSet speeches{&connection};

    OpenDatabase(const benchmark::State &state, LockType lockType = LockType::ReadOnly)
    {
        const int language = int(state.range(1));
        connection.setConnectionString(sampleConnectionString(state));
        speeches.setCommandText(DatabaseTexts::SpeechListCommand);
        speeches.setLockType(lockType);
        speeches.open();
        speeches.setFilter(DatabaseTexts::languageFilter(language));
        speeches.setFiltered(true);
    }

    void readCurrent()
    {
        for (const char *name : {"ID", "Keywords", "Tekst", "Comments"})
            benchmark::DoNotOptimize(speeches.fieldByName(QString::fromLatin1(name))->asString());
    }
};

// Opening the speech list, filling the languages, filtering to one and showing its first speech.
void BM_StartUp(benchmark::State &state)
{
    const QString connectionString = sampleConnectionString(state);
    const int language = int(state.range(1));
    for (auto _ : state) {
        Connection connection;
        connection.setConnectionString(connectionString);
        RecordSet speeches(&connection);
        speeches.setCommandText(DatabaseTexts::SpeechListCommand);
        speeches.setLockType(LockType::ReadOnly);
        speeches.open();
        RecordSet languages(&connection);
        languages.setCommandText(DatabaseTexts::LanguageListCommand);
        languages.open();
        for (languages.first(); !languages.eof(); languages.next())
            benchmark::DoNotOptimize(languages.fieldByName(QStringLiteral("Taal"))->asString());
        languages.close();
        speeches.setFilter(DatabaseTexts::languageFilter(language));
        speeches.setFiltered(true);
        benchmark::DoNotOptimize(speeches.fieldByName(QStringLiteral("Tekst"))->asString());
    }
}

int otherLanguage(int language)
{
    return language == BenchDatabases::SmallLanguageId ? language - 1 : language + 1;
}

void BM_LanguageSwitch(benchmark::State &state)
{
    const int language = int(state.range(1));
    const int other = otherLanguage(language);
    OpenDatabase db(state);
    bool toOther = true;
    for (auto _ : state) {
        db.speeches.setFilter(DatabaseTexts::languageFilter(toOther ? other : language));
        db.readCurrent();
        toOther = !toOther;
    }
}

// A search for a three-letter fragment within one language, its count, then the jump to the
// first hit, as the main window runs it.
// With scan set, the search is one that the keyword index does not take (it has a condition
// more, true of every row), so that every keyword of the language is read, as earlier builds
// did: the baseline of the same search in the same process.
int searchAndJump(OpenDatabase &db, RecordSet &search, int language, bool scan = false)
{
    search.close();
    QString command = DatabaseTexts::keywordSearch(QStringLiteral("ank"), language);
    if (scan)
        command += QStringLiteral(" and 1 = 1");
    search.setCommandText(command);
    search.open();
    const int hits = search.recordCount();
    if (hits > 0)
        db.speeches.locate(DatabaseTexts::LocateKey, search.fieldByName(QStringLiteral("ID"))->asInteger());
    return hits;
}

void BM_KeywordSearch(benchmark::State &state)
{
    const int language = int(state.range(1));
    OpenDatabase db(state);
    RecordSet search(&db.connection);
    for (auto _ : state)
        state.counters["hits"] = searchAndJump(db, search, language);
}

void BM_KeywordSearchScan(benchmark::State &state)
{
    const int language = int(state.range(1));
    OpenDatabase db(state);
    RecordSet search(&db.connection);
    for (auto _ : state)
        state.counters["hits"] = searchAndJump(db, search, language, true);
}

// A switch to the language while a search is active: the filter, the first speech, and the
// search again for the new language with its jump. The switch away runs outside the clock.
void BM_LanguageSwitchWithSearch(benchmark::State &state)
{
    const int language = int(state.range(1));
    OpenDatabase db(state);
    RecordSet search(&db.connection);
    for (auto _ : state) {
        state.PauseTiming();
        db.speeches.setFilter(DatabaseTexts::languageFilter(otherLanguage(language)));
        searchAndJump(db, search, otherLanguage(language));
        state.ResumeTiming();
        db.speeches.setFilter(DatabaseTexts::languageFilter(language));
        db.readCurrent();
        state.counters["hits"] = searchAndJump(db, search, language);
    }
}

// On the server: only the first hit of the keyword search at or after the middle speech of the
// language, in ID order, against BM_KeywordSearch's every hit (what a window that showed the
// first hit at once and took the rest in afterwards would wait for).
void BM_KeywordFirstHitOnServer(benchmark::State &state)
{
    OpenDatabase db(state);
    const qint64 middle = db.connection
                              .scalar(QStringLiteral(R"(SELECT "ID" FROM "Speeches" WHERE "TaalID" = ? ORDER BY "ID" )"
                                                     R"(OFFSET (SELECT count(*) / 2 FROM "Speeches" WHERE "TaalID" = ?) LIMIT 1)"),
                                      {qint64(state.range(1)), qint64(state.range(1))})
                              .toLongLong();
    Statement first(db.connection.handle(),
                    QStringLiteral(R"(SELECT "ID" FROM "TinlarkKeywordFolded" WHERE "TaalID" = ? AND "Folded" LIKE '%ank%' )"
                                   R"(AND "ID" >= ? ORDER BY "ID" LIMIT 1)"));
    for (auto _ : state) {
        first.bind(1, qint64(state.range(1)));
        first.bind(2, middle);
        if (!first.step())
            state.SkipWithError("no hit after the middle speech");
        first.reset();
    }
}

void BM_Next(benchmark::State &state)
{
    OpenDatabase db(state);
    for (auto _ : state) {
        db.speeches.next();
        if (db.speeches.eof())
            db.speeches.first();
        db.readCurrent();
    }
}

std::vector<int> idsOfLanguage(Connection &connection, int language)
{
    Statement ids(connection.handle(), QStringLiteral(R"(SELECT "ID" FROM "Speeches" WHERE "TaalID" = ?)"));
    ids.bind(1, language);
    std::vector<int> result;
    while (ids.step())
        result.push_back(int(ids.columnInt64(0)));
    std::shuffle(result.begin(), result.end(), std::mt19937(7));
    return result;
}

void BM_Locate(benchmark::State &state)
{
    OpenDatabase db(state);
    const std::vector<int> ids = idsOfLanguage(db.connection, int(state.range(1)));
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(db.speeches.locate(DatabaseTexts::LocateKey, ids[next++ % ids.size()]));
        db.readCurrent();
    }
}

// Storing an edited speech: one durable transaction. A change of its keywords also brings
// the keyword index in step.
void postEdits(benchmark::State &state, const QString &fieldName, const QString &textTemplate)
{
    OpenDatabase db(state, LockType::Optimistic);
    int round = 0;
    for (auto _ : state) {
        db.speeches.edit();
        db.speeches.fieldByName(fieldName)->setAsString(textTemplate.arg(++round));
        db.speeches.post();
    }
}

void BM_PostEdit(benchmark::State &state)
{
    postEdits(state, QStringLiteral("Comments"), QStringLiteral("edited %1"));
}

// The same post with the history set aside, the measure of what keeping versions costs: the
// file's history triggers changed into ones of the same names that do nothing, the server's
// turned off; both put back afterwards.
void BM_PostEditWithoutHistory(benchmark::State &state)
{
    const bool server = state.range(3) == Server;
    const auto alter = [&state](const QStringList &statements) {
        Connection connection;
        connection.setConnectionString(sampleConnectionString(state));
        TransactionGuard change(connection.handle());
        for (const QString &statement : statements)
            Statement(connection.handle(), statement).execute({});
        change.commit();
    };
    const QStringList dropFileTriggers = {QStringLiteral("DROP TRIGGER TinlarkHistoryEdit"),
                                          QStringLiteral("DROP TRIGGER TinlarkHistoryDelete")};
    alter(server ? QStringList{QStringLiteral(R"(ALTER TABLE "Speeches" DISABLE TRIGGER "TinlarkKeepVersion")")}
                 : dropFileTriggers + QStringList{
                       QStringLiteral("CREATE TRIGGER TinlarkHistoryEdit AFTER UPDATE ON Speeches WHEN 0 BEGIN SELECT 1; END"),
                       QStringLiteral("CREATE TRIGGER TinlarkHistoryDelete AFTER DELETE ON Speeches WHEN 0 BEGIN SELECT 1; END")});
    BM_PostEdit(state);
    // The file gets its own triggers again when it is next opened and finds them missing.
    alter(server ? QStringList{QStringLiteral(R"(ALTER TABLE "Speeches" ENABLE TRIGGER "TinlarkKeepVersion")")}
                 : dropFileTriggers);
}

void BM_PostKeywords(benchmark::State &state)
{
    postEdits(state, QStringLiteral("Keywords"), QStringLiteral("thanks edited %1"));
}

// Storing a new speech. The new speeches go again afterwards, so that the other benchmarks
// find the sample as it was made.
void BM_PostInsert(benchmark::State &state)
{
    OpenDatabase db(state, LockType::Optimistic);
    int round = 0;
    for (auto _ : state) {
        db.speeches.append();
        db.speeches.fieldByName(QStringLiteral("TaalID"))->setAsInteger(int(state.range(1)));
        db.speeches.fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("thanks added %1").arg(++round));
        db.speeches.fieldByName(QStringLiteral("Tekst"))->setAsString(QStringLiteral("Thank you for your message."));
        db.speeches.post();
    }
    db.speeches.close();
    TransactionGuard removal(db.connection.handle());
    Statement(db.connection.handle(), QStringLiteral(R"(DELETE FROM "Speeches" WHERE "Keywords" LIKE 'thanks added %')"))
        .execute({});
    removal.commit();
}

void databaseSizes(benchmark::internal::Benchmark *benchmark)
{
    for (int engine : {File, Server}) {
        for (int size : {10000, 100000, 1000000, BenchDatabases::LargestSize}) {
            if (size == BenchDatabases::LargestSize && engine == Server)
                continue; // a copy of ten million speeches on the server would take most of an hour
            benchmark->Args({size, BenchDatabases::SmallLanguageId, BenchDatabases::LanguageCount, engine});
            benchmark->Args({size, BenchDatabases::LargeLanguageId, BenchDatabases::LanguageCount, engine});
        }
        benchmark->Args({BenchDatabases::SingleLanguageSize, BenchDatabases::LargeLanguageId,
                         BenchDatabases::SingleLanguageLanguages, engine});
    }
    benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_StartUp)->Apply(databaseSizes);
BENCHMARK(BM_LanguageSwitch)->Apply(databaseSizes);
BENCHMARK(BM_KeywordSearch)->Apply(databaseSizes);
BENCHMARK(BM_KeywordSearchScan)->Apply(databaseSizes);
BENCHMARK(BM_KeywordFirstHitOnServer)
    ->Args({BenchDatabases::SingleLanguageSize, BenchDatabases::LargeLanguageId, BenchDatabases::SingleLanguageLanguages, Server})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Next)->Apply(databaseSizes);
BENCHMARK(BM_Locate)->Apply(databaseSizes);
BENCHMARK(BM_PostEdit)->Apply(databaseSizes);
BENCHMARK(BM_PostEditWithoutHistory)->Apply(databaseSizes);
BENCHMARK(BM_LanguageSwitchWithSearch)->Apply(databaseSizes);
BENCHMARK(BM_PostKeywords)->Apply(databaseSizes);
BENCHMARK(BM_PostInsert)->Apply(databaseSizes);

// Brings every sample database to this build's form before anything is timed: a file made
// by an earlier build gets its keyword index the first time it is opened.
void prepareDatabases()
{
    const std::pair<int, int> shapes[] = {{10000, BenchDatabases::LanguageCount},
                                          {100000, BenchDatabases::LanguageCount},
                                          {1000000, BenchDatabases::LanguageCount},
                                          {BenchDatabases::LargestSize, BenchDatabases::LanguageCount},
                                          {BenchDatabases::SingleLanguageSize, BenchDatabases::SingleLanguageLanguages}};
    for (const auto &[size, languages] : shapes) {
        const QString path = BenchDatabases::pathFor(size, languages);
        QElapsedTimer timer;
        timer.start();
        Connection connection;
        connection.setConnectionString(DatabaseTexts::connectionString(path));
        connection.open();
        // A file made by an earlier build gets its keyword index here, before anything is timed.
        if (const std::unique_ptr<BatchedJob> work = connection.handle()->backgroundWork()) {
            work->start();
            while (work->runBatch()) {
            }
        }
        std::fprintf(stderr, "%s ready in %lld ms, %lld bytes\n", qPrintable(QFileInfo(path).fileName()),
                     timer.elapsed(), QFileInfo(path).size());
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    prepareDatabases();
    return ServerSamples::runBenchmarks(argc, argv);
}
