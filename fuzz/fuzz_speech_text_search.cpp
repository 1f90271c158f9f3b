// Fuzz target of the word search: the first line of the input is what the user types, each
// further line a speech's keywords, text and comments parted by tabs (any bytes, of two
// languages in turn). The word index must find, for each column rank, exactly the speeches
// whose words read one by one hold every typed word: a difference, a crash, an error of the
// query language or a sanitizer report is a finding.

#include "Schema.h"
#include "SpeechWords.h"
#include "SqliteStatement.h"
#include "SqliteWordIndex.h"

#include <QByteArrayList>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sqlite3.h>

namespace {

// The speeches of a language whose words of the first columns hold every typed word, by ID.
std::vector<qint64> readHits(sqlite3 *db, const QStringList &typed, int columns, int language)
{
    SqliteStatement scan(db, QStringLiteral("SELECT ID, Keywords, Tekst, Comments FROM Speeches WHERE TaalID = ? ORDER BY ID"));
    scan.bind(1, language);
    std::vector<qint64> ids;
    while (scan.step()) {
        QStringList words;
        for (int column = 1; column <= columns; ++column)
            words += SpeechWords::words(scan.columnValue(column).toString());
        if (SpeechWords::holdsAll(words, typed))
            ids.push_back(scan.columnInt64(0));
    }
    return ids;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QByteArrayList lines = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\n');
    sqlite3 *db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK)
        std::abort();
    Schema::create(db);
    sqlite3_stmt *add = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?)", -1, &add, nullptr);
    for (qsizetype i = 1; i < lines.size() && i <= 32; ++i) {
        // Raw bytes, as another program may store them: the text need not be UTF-8.
        const QByteArrayList columns = lines[i].split('\t');
        sqlite3_bind_int(add, 1, 1 + int(i % 2));
        for (int column = 0; column < 3; ++column) {
            const QByteArray text = columns.value(column);
            sqlite3_bind_text(add, 2 + column, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(add);
        sqlite3_reset(add);
    }
    sqlite3_finalize(add);
    // The rows came in through the triggers, as another program's would: take them in.
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    SqliteWordIndex::catchUp(db);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);

    SqliteWordIndex index(db);
    const QStringList typed = SpeechWords::typedWords(QString::fromUtf8(lines.first()));
    if (!typed.isEmpty() && index.ready()) {
        const WordIndex::Columns ranks[] = {WordIndex::Columns::Keywords, WordIndex::Columns::KeywordsOrText,
                                            WordIndex::Columns::Any};
        for (int rank = 0; rank < 3; ++rank) {
            for (const int language : {1, 2}) {
                std::vector<qint64> found = index.find(typed, ranks[rank], language, 100);
                if (found != readHits(db, typed, rank + 1, language))
                    std::abort();
            }
        }
    }
    sqlite3_close(db);
    return 0;
}
