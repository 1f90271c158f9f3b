// Fuzz target of the keyword index: the first line of the input is a Like pattern, each
// further line the keywords of a speech (any bytes, of two languages in turn). Whatever the
// index answers must be what reading every keyword answers: a difference, a crash or a
// sanitizer report is a finding.

#include "FuzzLibrary.h"
#include "KeywordIndex.h"
#include "LikeFunction.h"
#include "SqliteStatement.h"

#include <cstddef>
#include <cstdint>
#include <sqlite3.h>
#include <cstdlib>
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
    const std::optional<FuzzLibrary> library = openFuzzLibrary(data, size, 1, [](sqlite3 *db) {
        registerLikeFunction(db);
        KeywordIndex::ensure(db);
    });
    if (!library)
        return 0;
    sqlite3 *db = library->db;
    const QString pattern = QString::fromUtf8(library->firstLine);
    for (const int language : {1, 2}) {
        const auto indexed = KeywordIndex::find(db, pattern, language);
        if (indexed && *indexed != scannedHits(db, pattern, language))
            std::abort();
    }
    sqlite3_close(db);
    return 0;
}
