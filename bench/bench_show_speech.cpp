// Showing a speech in the memo of the main window: the row is fetched, its text goes into
// the memo and the memo paints. Arguments: characters of the speech, and whether its text
// has a line break every 80 characters (1) or is one unbroken line (0). The baseline is the
// plain text editor as it is, shown the same text at smaller sizes, since its time grows
// with the square of a line's length.

#include "Connection.h"
#include "DataSource.h"
#include "DatabaseTexts.h"
#include "RecordSet.h"
#include "Schema.h"
#include "Statement.h"
#include "TDBMemo.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

namespace {

QString speechText(qint64 size, bool lineBreaks)
{
    QString text;
    text.reserve(size);
    const QString words = QStringLiteral("canned speech text ");
    while (text.size() < size)
        text += words;
    text.truncate(size);
    if (!lineBreaks)
        text.replace(QLatin1Char(' '), QLatin1Char('x'));
    else
        for (qsizetype at = 79; at < text.size(); at += 80)
            text[at] = QLatin1Char('\n');
    return text;
}

// A database of two speeches: a short one and the one being measured.
struct SpeechDatabase
{
    QTemporaryDir dir;
    Connection connection;
    RecordSet speeches{&connection};
    DataSource source;

    SpeechDatabase(qint64 size, bool lineBreaks)
    {
        const QString path = dir.filePath(QStringLiteral("Speeches.csp"));
        Schema::createFile(path);
        connection.setConnectionString(DatabaseTexts::connectionString(path));
        Statement(connection.handle(), QStringLiteral("INSERT INTO Taal (Taal) VALUES ('English')")).execute({});
        Statement insert(connection.handle(), QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst) VALUES (1, 'k', ?)"));
        insert.execute({QStringLiteral("short")});
        insert.execute({speechText(size, lineBreaks)});
        speeches.setCommandText(DatabaseTexts::SpeechListCommand);
        speeches.setLockType(LockType::ReadOnly);
        speeches.open();
        source.setDataSet(&speeches);
    }
};

void BM_ShowSpeech(benchmark::State &state)
{
    SpeechDatabase database(state.range(0), state.range(1) != 0);
    TDBMemo memo;
    memo.resize(600, 260);
    memo.setDataField(QStringLiteral("Tekst"));
    memo.setDataSource(&database.source);
    memo.show();
    for (auto _ : state) {
        state.PauseTiming();
        database.speeches.first();
        memo.repaint();
        state.ResumeTiming();
        database.speeches.last(); // the long one
        memo.repaint();
    }
    state.counters["chars"] = double(memo.storedText().size());
}

// The plain editor as the memo used it: the whole text in one call, then a paint.
void BM_ShowPlainEditorBaseline(benchmark::State &state)
{
    const QString text = speechText(state.range(0), state.range(1) != 0);
    QPlainTextEdit editor;
    editor.resize(600, 260);
    editor.show();
    for (auto _ : state) {
        state.PauseTiming();
        editor.setPlainText(QStringLiteral("short"));
        editor.repaint();
        state.ResumeTiming();
        editor.setPlainText(text);
        editor.repaint();
    }
}

} // namespace

BENCHMARK(BM_ShowPlainEditorBaseline)
    ->ArgsProduct({{25'000, 50'000, 100'000}, {0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_ShowSpeech)
    ->ArgsProduct({{100'000, 1'000'000, 2'000'000, 10'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
