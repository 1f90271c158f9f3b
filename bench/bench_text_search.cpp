// The picker's word search over the sample databases of a million speeches: each keystroke's
// search through the word index and by reading the speeches (an index not built yet), the
// index's share of the file, and a post with and without the index.
// Arguments: number of speeches, language, number of languages (20; or 2: a single language of
// a million speeches beside a small one), keystroke (an index into Typing; -1 for all languages).
// BM_WordSearchOnServer runs on a copy of the sample on a PostgreSQL server that it starts.
// BM_WordSearchWithCopies first notes a few hundred speeches of the language as copied (the
// most copied lead the hits), on the file (engine 0) or the server (1), and takes them back after.
// BM_WordSearchCrowded types a word that begins thousands of indexed words, each held by a few
// hundred speeches, in a copy of the one-language sample that has such words in its texts.
// With --peak-rss FILE [words|none] the program only opens FILE, shows a language and, with
// "words", runs every keystroke's search: its peak memory (/usr/bin/time -v) against "none".

#include "BenchDatabases.h"
#include "Connection.h"
#include "Database.h"
#include "DatabaseTexts.h"
#include "ServerSamples.h"
#include "SpeechTextSearch.h"
#include "Statement.h"
#include "TransactionGuard.h"
#include "WordIndex.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

// What a user types, a key at a time, looking for a thank-you reply.
const QStringList Typing{"t", "th", "tha", "than", "thank", "thank y", "thank yo", "thank you"};

QString samplePath(const benchmark::State &state)
{
    return BenchDatabases::pathFor(int(state.range(0)), int(state.range(2)));
}

std::optional<qint64> languageOf(const benchmark::State &state)
{
    return state.range(3) < 0 ? std::nullopt : std::optional<qint64>(state.range(1));
}

void search(benchmark::State &state, bool indexed)
{
    Connection connection;
    connection.setConnectionString(DatabaseTexts::connectionString(samplePath(state)));
    const QString setComplete = QStringLiteral("UPDATE TinlarkWordState SET Complete = %1");
    if (!indexed)
        connection.scalar(setComplete.arg(0));
    const QString typed = Typing.value(int(std::max<qint64>(state.range(3), 0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SpeechTextSearch::find(connection, typed, languageOf(state)));
    if (!indexed)
        connection.scalar(setComplete.arg(1));
}

void BM_WordSearch(benchmark::State &state)
{
    search(state, true);
}

void BM_WordSearchOnServer(benchmark::State &state)
{
    Connection connection;
    connection.setConnectionString(
        DatabaseTexts::connectionString(ServerSamples::thisRun().dataSourceFor(int(state.range(0)), int(state.range(2)))));
    const QString typed = Typing.value(int(std::max<qint64>(state.range(3), 0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SpeechTextSearch::find(connection, typed, languageOf(state)));
}

// Copies noted for every 3,001st speech of the language, some more often than others.
const char *const NoteCopiesSql = R"(INSERT INTO "SpeechCopies" ("SpeechID", "Copies", "LastCopied") )"
                                  R"(SELECT "ID", 1 + "ID" % 7, '2026-12-01 10:00:00.000' FROM "Speeches" )"
                                  R"(WHERE "TaalID" = ? AND "ID" % 3001 = 0)";

void BM_WordSearchWithCopies(benchmark::State &state)
{
    const bool onServer = state.range(4) != 0;
    Connection connection;
    connection.setConnectionString(DatabaseTexts::connectionString(
        onServer ? ServerSamples::thisRun().dataSourceFor(int(state.range(0)), int(state.range(2))) : samplePath(state)));
    const auto change = [&](const QString &sql, const QVariantList &values) {
        TransactionGuard transaction(connection.handle());
        Statement(connection.handle(), sql).execute(values);
        transaction.commit();
    };
    change(QStringLiteral(R"(DELETE FROM "SpeechCopies")"), {});
    change(QString::fromLatin1(NoteCopiesSql), {qint64(state.range(1))});
    state.counters["copied"] = connection.scalar(QStringLiteral(R"(SELECT count(*) FROM "SpeechCopies")")).toDouble();
    const QString typed = Typing.value(int(state.range(3)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SpeechTextSearch::find(connection, typed, languageOf(state)));
    change(QStringLiteral(R"(DELETE FROM "SpeechCopies")"), {});
}

// The one-language sample with a word of "inte" and three letters added to every speech's text
// (2,704 such words, 676 of them beginning with "intea", 26 with "inteab"): made once, from the
// sample, by the program's own catch-up.
QString crowdedSample()
{
    const QString path = BenchDatabases::pathFor(BenchDatabases::SingleLanguageSize, BenchDatabases::SingleLanguageLanguages)
                         + QStringLiteral(".crowded");
    if (QFileInfo::exists(path))
        return path;
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile::copy(BenchDatabases::pathFor(BenchDatabases::SingleLanguageSize, BenchDatabases::SingleLanguageLanguages), partial);
    {
        Connection connection;
        connection.setConnectionString(DatabaseTexts::connectionString(partial));
        TransactionGuard transaction(connection.handle());
        Statement(connection.handle(),
                  QStringLiteral("UPDATE Speeches SET Tekst = coalesce(Tekst, '') || ' inte' || "
                                 "char(97 + ID / 676 % 4) || char(97 + ID % 26) || char(97 + ID / 26 % 26)"))
            .execute({});
        transaction.commit();
    }
    QFile::rename(partial, path);
    return path;
}

// What a user types, a key at a time, in the crowded sample.
const QStringList CrowdedTyping{"inte", "intea", "inteab", "thank inte"};

void BM_WordSearchCrowded(benchmark::State &state)
{
    Connection connection;
    connection.setConnectionString(DatabaseTexts::connectionString(crowdedSample()));
    const QString typed = CrowdedTyping.value(int(state.range(0)));
    for (auto _ : state)
        state.counters["hits"] = double(SpeechTextSearch::find(connection, typed, BenchDatabases::LargeLanguageId).size());
}

void BM_WordSearchByReading(benchmark::State &state)
{
    search(state, false);
}

// The pages of the word index (its FTS5 tables, the notes and the copies) against the file's.
void BM_IndexShare(benchmark::State &state)
{
    Connection connection;
    connection.setConnectionString(DatabaseTexts::connectionString(samplePath(state)));
    for (auto _ : state) {
        const double index = connection.scalar(QStringLiteral("SELECT sum(pgsize) FROM dbstat WHERE name LIKE 'TinlarkWord%' "
                                                              "OR name LIKE 'sqlite_autoindex_TinlarkWord%'"))
                                 .toDouble();
        const double file = connection.scalar(QStringLiteral("SELECT sum(pgsize) FROM dbstat")).toDouble();
        state.counters["index_MB"] = index / 1e6;
        state.counters["file_MB"] = file / 1e6;
        state.counters["share"] = index / (file - index);
    }
}

// Editing a speech's text and storing it, with the word index and on a copy of the file
// without it (its tables and triggers dropped, as a file before the index had it).
void BM_PostText(benchmark::State &state)
{
    const bool withIndex = state.range(3) != 0;
    QString path = samplePath(state);
    if (!withIndex) {
        const QString copy = path + QStringLiteral(".without-words");
        if (!QFileInfo::exists(copy))
            QFile::copy(path, copy);
        path = copy;
    }
    Connection connection;
    connection.setConnectionString(DatabaseTexts::connectionString(path));
    Database *db = connection.handle();
    if (!withIndex) {
        TransactionGuard drop(db);
        for (const char *sql : {"DROP TRIGGER TinlarkWordsBeforeInsert", "DROP TRIGGER TinlarkWordsAfterInsert",
                                "DROP TRIGGER TinlarkWordsBeforeUpdate", "DROP TRIGGER TinlarkWordsAfterUpdate",
                                "DROP TRIGGER TinlarkWordsBeforeDelete", "DROP TABLE TinlarkWordPending",
                                "DROP TABLE TinlarkWordState", "DROP TABLE TinlarkWordIndex",
                                "DROP TABLE TinlarkWordKeywords", "DROP TABLE TinlarkWordTerms"})
            Statement(db, QString::fromLatin1(sql)).execute({});
        drop.commit();
    }
    const qint64 id = connection.scalar(QStringLiteral("SELECT min(ID) FROM Speeches WHERE TaalID = ?"), {qint64(state.range(1))})
                          .toLongLong();
    int round = 0;
    for (auto _ : state) {
        TransactionGuard post(db);
        Statement(db, QStringLiteral("UPDATE Speeches SET Tekst = ? WHERE ID = ?"))
            .execute({QStringLiteral("Thank you for your message, edited %1.").arg(++round), id});
        post.commit();
    }
}

void keystrokes(benchmark::internal::Benchmark *benchmark)
{
    for (int key = 0; key < int(Typing.size()); ++key) {
        benchmark->Args({1000000, BenchDatabases::LargeLanguageId, BenchDatabases::LanguageCount, key});
        benchmark->Args({BenchDatabases::SingleLanguageSize, BenchDatabases::LargeLanguageId,
                         BenchDatabases::SingleLanguageLanguages, key});
    }
    benchmark->Args({1000000, BenchDatabases::LargeLanguageId, BenchDatabases::LanguageCount, -1});
    benchmark->Unit(benchmark::kMillisecond);
}

void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Args({1000000, BenchDatabases::LargeLanguageId, BenchDatabases::LanguageCount, 0});
    benchmark->Args({BenchDatabases::SingleLanguageSize, BenchDatabases::LargeLanguageId,
                     BenchDatabases::SingleLanguageLanguages, 0});
    benchmark->Iterations(1);
}

void posts(benchmark::internal::Benchmark *benchmark)
{
    for (int withIndex : {1, 0})
        benchmark->Args({1000000, BenchDatabases::LargeLanguageId, BenchDatabases::LanguageCount, withIndex});
    benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_WordSearch)->Apply(keystrokes);
BENCHMARK(BM_WordSearchOnServer)->Apply([](benchmark::internal::Benchmark *benchmark) {
    for (const int key : {0, 4, 7}) {
        benchmark->Args({1000000, BenchDatabases::LargeLanguageId, BenchDatabases::LanguageCount, key});
        benchmark->Args({BenchDatabases::SingleLanguageSize, BenchDatabases::LargeLanguageId,
                         BenchDatabases::SingleLanguageLanguages, key});
    }
    benchmark->Unit(benchmark::kMillisecond);
});
BENCHMARK(BM_WordSearchWithCopies)->Apply([](benchmark::internal::Benchmark *benchmark) {
    for (const int onServer : {0, 1}) {
        for (const int key : {0, 4, 7})
            benchmark->Args({BenchDatabases::SingleLanguageSize, BenchDatabases::LargeLanguageId,
                             BenchDatabases::SingleLanguageLanguages, key, onServer});
    }
    benchmark->Unit(benchmark::kMillisecond);
});
BENCHMARK(BM_WordSearchCrowded)->DenseRange(0, int(CrowdedTyping.size()) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordSearchByReading)->Args({1000000, BenchDatabases::LargeLanguageId, BenchDatabases::LanguageCount, 4})
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IndexShare)->Apply(sizes);
BENCHMARK(BM_PostText)->Apply(posts);

// Opens a file and shows a language's first speech; with "words", also types every keystroke.
int peakRssProbe(const QString &path, bool words)
{
    Connection connection;
    connection.setConnectionString(DatabaseTexts::connectionString(path));
    connection.scalar(QStringLiteral("SELECT ID, Keywords, Tekst FROM Speeches WHERE TaalID = 1 ORDER BY Keywords LIMIT 1"));
    if (words) {
        for (const QString &typed : Typing)
            SpeechTextSearch::find(connection, typed, BenchDatabases::LargeLanguageId);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--peak-rss") == 0)
        return peakRssProbe(QString::fromLocal8Bit(argv[2]), argc >= 4 && std::strcmp(argv[3], "words") == 0);
    return ServerSamples::runBenchmarks(argc, argv);
}
