#include "PostgresKeywordIndex.h"

#include "LikePattern.h"
#include "PostgresChangeNotes.h"
#include "PostgresKeywordWords.h"
#include "PostgresSession.h"

#include <QtEndian>
#include <algorithm>
#include <optional>

namespace {

// Rows written by one statement while folding.
constexpr int RowsPerInsert = 500;

const char *const ExtensionsSql = R"sql(
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE EXTENSION IF NOT EXISTS btree_gin;
)sql";

// %1 is the schema of pg_trgm, quoted: it may be on no path the program keeps.
const char *const CreateSql = R"sql(
CREATE TABLE "TinlarkKeywordFolded" (
  "ID" bigint PRIMARY KEY,
  "TaalID" bigint,
  "Folded" text NOT NULL
);
CREATE INDEX "TinlarkKeywordFoldedTrigrams" ON "TinlarkKeywordFolded" USING gin ("TaalID", "Folded" %1.gin_trgm_ops);
-- A language's folded keywords in the order of the IDs, read from the index alone: the way in
-- for a pattern that a good part of a large language matches, whose rows lie spread over the
-- whole table.
CREATE INDEX "TinlarkKeywordFoldedByTaal" ON "TinlarkKeywordFolded" ("TaalID", "ID") INCLUDE ("Folded");
)sql";

std::string_view viewOf(const PGresult *result, int row, int column)
{
    return std::string_view(PQgetvalue(result, row, column), size_t(PQgetlength(result, row, column)));
}

void writeFolded(PostgresSession &session, const PGresult *speeches)
{
    const int rows = PQntuples(speeches);
    for (int first = 0; first < rows; first += RowsPerInsert) {
        const int count = std::min(RowsPerInsert, rows - first);
        QByteArray sql = R"(INSERT INTO "TinlarkKeywordFolded" ("ID", "TaalID", "Folded") VALUES )";
        PostgresSession::Values values;
        for (int row = first; row < first + count; ++row) {
            const int n = int(values.size());
            sql += (row > first ? ", " : "") + QByteArray("($%1, $%2, $%3)")
                                                  .replace("%1", QByteArray::number(n + 1))
                                                  .replace("%2", QByteArray::number(n + 2))
                                                  .replace("%3", QByteArray::number(n + 3));
            values.emplace_back(QByteArray(PQgetvalue(speeches, row, 0)));
            values.emplace_back(PQgetisnull(speeches, row, 1) ? std::nullopt
                                                              : std::optional(QByteArray(PQgetvalue(speeches, row, 1))));
            values.emplace_back(QByteArray::fromStdString(LikePattern::foldedUtf8(viewOf(speeches, row, 2))));
        }
        session.execute(sql, values);
    }
}

// The runs between the wildcards of a folded pattern, as a Like pattern on the folded
// keywords that every hit matches; empty when no run is three characters long, which the
// trigram index could not look up. exact tells whether every keyword it matches is a hit:
// the pattern is its runs between '%'s, as the program's search for a text makes it.
QByteArray candidatePattern(const std::u32string &pattern, bool &exact)
{
    exact = !pattern.empty() && pattern.front() == U'%' && pattern.back() == U'%'
            && pattern.find(U'_') == std::u32string::npos;
    std::u32string candidate = U"%";
    bool indexable = false;
    for (const std::u32string &run : LikePattern::literalRuns(pattern)) {
        indexable = indexable || run.size() >= 3;
        for (const char32_t c : run) {
            if (c == U'\\')
                candidate.push_back(U'\\');
            candidate.push_back(c);
        }
        candidate.push_back(U'%');
    }
    return indexable ? QByteArray::fromStdString(LikePattern::toUtf8(candidate)) : QByteArray();
}

// Whether a pattern of runs between '%'s is one run that a word can hold whole.
bool isOneWordRun(const std::u32string &pattern)
{
    const std::vector<std::u32string> runs = LikePattern::literalRuns(pattern);
    return runs.size() == 1 && std::none_of(runs.front().begin(), runs.front().end(), PostgresKeywordWords::isSeparator);
}

// Folds again the speeches of the IDs (an array literal).
void foldAgain(PostgresSession &session, const QByteArray &array)
{
    session.execute(R"(DELETE FROM "TinlarkKeywordFolded" WHERE "ID" OPERATOR(pg_catalog.=) ANY ($1::pg_catalog.int8[]))", {array});
    // A speech without keywords matches no pattern and is left out.
    const PostgresResult speeches = session.execute(
        R"(SELECT "ID", "TaalID", "Keywords" FROM "Speeches" WHERE "ID" OPERATOR(pg_catalog.=) ANY ($1::pg_catalog.int8[]) )"
        R"(AND "Keywords" IS NOT NULL)",
        {array});
    writeFolded(session, speeches.get());
}

// The IDs, ascending, of a language's speeches whose folded keywords are Like a pattern that
// decides on its own: only the keys come back, in one result, in binary. They are put in order
// here: the server would sort a large result on disk (beyond its work_mem), while it hands
// them over nearly in order already, as the rows lie in the table.
std::vector<qint64> exactHits(PostgresSession &session, const QByteArray &language, const QByteArray &pattern)
{
    const PostgresResult hits = session.executeBinary(
        R"(SELECT "ID" FROM "TinlarkKeywordFolded" WHERE "TaalID" OPERATOR(pg_catalog.=) $1::pg_catalog.int8 )"
        R"(AND "Folded" OPERATOR(pg_catalog.~~) $2::pg_catalog.text)",
        {language, pattern});
    const int rows = PQntuples(hits.get());
    std::vector<qint64> ids;
    ids.reserve(size_t(rows));
    // Only a value of a bigint's 8 bytes is read as one (a column someone altered is not).
    for (int row = 0; row < rows; ++row) {
        if (PQgetlength(hits.get(), row, 0) == 8)
            ids.push_back(qint64(qFromBigEndian<quint64>(PQgetvalue(hits.get(), row, 0))));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

namespace PostgresKeywordIndex {

void create(PostgresSession &session)
{
    session.execute(ExtensionsSql);
    const PostgresResult schema = session.execute(
        "SELECT pg_catalog.quote_ident(n.nspname) FROM pg_catalog.pg_extension e JOIN pg_catalog.pg_namespace n "
        "ON n.oid OPERATOR(pg_catalog.=) e.extnamespace WHERE e.extname OPERATOR(pg_catalog.=) 'pg_trgm'");
    session.execute(QByteArray(CreateSql).replace("%1", PQgetvalue(schema.get(), 0, 0)));
    session.execute(PostgresChangeNotes::createSql("TinlarkKeywordPending", "TinlarkKeywordsChanged",
                                                   R"("ID", "TaalID", "Keywords")"));
    PostgresKeywordWords::create(session, true);
}

bool hasPending(PostgresSession &session)
{
    const PostgresResult result = session.execute(R"(SELECT EXISTS (SELECT 1 FROM "TinlarkKeywordPending"))");
    return PQntuples(result.get()) == 1 && PQgetvalue(result.get(), 0, 0)[0] == 't';
}

void catchUp(PostgresSession &session)
{
    PostgresChangeNotes::takeOut(session, "TinlarkKeywordPending",
                                 [&session](const QByteArray &ids) { foldAgain(session, ids); });
}

std::vector<qint64> find(PostgresSession &session, const QString &pattern, int languageId)
{
    const QByteArray utf8Pattern = pattern.toUtf8();
    const LikePattern like(std::string_view(utf8Pattern.constData(), size_t(utf8Pattern.size())));
    bool exact = false;
    const QByteArray candidates = candidatePattern(like.folded(), exact);
    const QByteArray language = QByteArray::number(languageId);
    if (!candidates.isEmpty() && exact) {
        if (isOneWordRun(like.folded()))
            if (std::optional<std::vector<qint64>> hits = PostgresKeywordWords::find(session, language, candidates))
                return std::move(*hits);
        return exactHits(session, language, candidates);
    }
    // The trigram index finds every speech that holds the pattern's runs in their order;
    // without a run long enough for it, the language's keywords are read. The pattern itself
    // decides on the folded keywords, which compare as the stored ones do: they are written in
    // the transaction that changes the speech (or caught up before a search), so the speeches
    // themselves need not be read.
    // Row by row: a language's keywords may be many, and only the hits are kept.
    std::vector<qint64> ids;
    const auto keepHit = [&](const PGresult *row) {
        if (like.matches(viewOf(row, 0, 1)))
            ids.push_back(QByteArray(PQgetvalue(row, 0, 0)).toLongLong());
    };
    if (candidates.isEmpty())
        session.executeRowByRow(R"(SELECT "ID", "Folded" FROM "TinlarkKeywordFolded" WHERE "TaalID" OPERATOR(pg_catalog.=) )"
                                R"($1::pg_catalog.int8 ORDER BY "ID")",
                                {language}, keepHit);
    else
        session.executeRowByRow(R"(SELECT "ID", "Folded" FROM "TinlarkKeywordFolded" WHERE "TaalID" OPERATOR(pg_catalog.=) )"
                                R"($1::pg_catalog.int8 AND "Folded" OPERATOR(pg_catalog.~~) $2::pg_catalog.text ORDER BY "ID")",
                                {language, candidates}, keepHit);
    return ids;
}

} // namespace PostgresKeywordIndex
