// Fuzz target of the keyword index: the first line of the input is a Like pattern, each
// further line the keywords of a speech (any bytes, of two languages in turn). Whatever the
// index answers must be what reading every keyword answers: a difference, a crash or a
// sanitizer report is a finding.

#include "KeywordIndex.h"
#include "LikeFunction.h"
#include "Schema.h"
#include "SqliteStatement.h"

#include <QByteArrayList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace {

std::vector<qint64> scannedHits(sqlite3 *db, const QString &pattern, int language)
{
    SqliteStatement scan(db, QStringLiteral("SELECT ID FROM Speeches WHERE Keywords LIKE ? AND TaalID = ? ORDER BY ID"));
    scan.bindAll({pattern, language});
    std::vector<qint64> ids;
    while (scan.step())
        ids.push_back(scan.columnInt64(0));
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
    registerLikeFunction(db);
    KeywordIndex::ensure(db);
    sqlite3_stmt *add = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Speeches (TaalID, Keywords) VALUES (?, ?)", -1, &add, nullptr);
    for (qsizetype i = 1; i < lines.size() && i <= 32; ++i) {
        // Raw bytes, as another program may store them: the text need not be UTF-8.
        sqlite3_bind_int(add, 1, 1 + int(i % 2));
        sqlite3_bind_text(add, 2, lines[i].constData(), int(lines[i].size()), SQLITE_TRANSIENT);
        sqlite3_step(add);
        sqlite3_reset(add);
    }
    sqlite3_finalize(add);
    const QString pattern = QString::fromUtf8(lines.first());
    for (const int language : {1, 2}) {
        const auto indexed = KeywordIndex::find(db, pattern, language);
        if (indexed && *indexed != scannedHits(db, pattern, language))
            std::abort();
    }
    sqlite3_close(db);
    return 0;
}
