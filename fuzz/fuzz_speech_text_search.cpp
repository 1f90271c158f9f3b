// Fuzz target of the word search: the first line of the input is what the user types, each
// further line a speech's keywords, text and comments parted by tabs (any bytes, of two
// languages in turn). The word index must find, for each column rank, exactly the speeches
// whose words read one by one hold every typed word: a difference, a crash, an error of the
// query language or a sanitizer report is a finding.

#include "FuzzLibrary.h"
#include "SpeechWords.h"
#include "SqliteStatement.h"
#include "SqliteWordIndex.h"

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
    const std::optional<FuzzLibrary> library = openFuzzLibrary(data, size, 3, [](sqlite3 *) {});
    if (!library)
        return 0;
    sqlite3 *db = library->db;
    // The rows came in through the triggers, as another program's would: take them in.
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    SqliteWordIndex::catchUp(db);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);

    SqliteWordIndex index(db);
    const QStringList typed = SpeechWords::typedWords(QString::fromUtf8(library->firstLine));
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
