#include "KeywordIndex.h"

#include "EDatabaseError.h"
#include "KeywordQuery.h"
#include "LikePattern.h"
#include "SqliteScript.h"
#include "SqliteStatement.h"
#include "SqliteTransaction.h"

#include <limits>
#include <memory>
#include <new>
#include <sqlite3.h>
#include <unicode/uchar.h>

namespace {

// An entry's key: the language in the high 32 bits, the speech ID in the low ones.
constexpr qint64 KeySpan = qint64(1) << 32;
// Below this many speeches a language's keywords are read rather than looked up.
constexpr int SmallLanguage = 2000;

// Names the file holds, all beginning with "TinlarkKeyword" so that they stay apart from
// the program's tables. The version changes when the index's form or the case folding of
// the Unicode tables changes: an index made otherwise is built again.
const char *const VersionTable = "TinlarkKeywordIndexVersion";
const int ObjectCount = 8; // the index, the pending and version tables, five triggers
// While the index is being built its version reads "building ...", which no build takes for
// a whole index, and this table holds the highest speech ID taken in so far.
const char *const BuildTable = "TinlarkKeywordIndexBuild";

const char *const DropSql = R"sql(
DROP TRIGGER IF EXISTS TinlarkKeywordsBeforeInsert;
DROP TRIGGER IF EXISTS TinlarkKeywordsAfterInsert;
DROP TRIGGER IF EXISTS TinlarkKeywordsBeforeUpdate;
DROP TRIGGER IF EXISTS TinlarkKeywordsAfterUpdate;
DROP TRIGGER IF EXISTS TinlarkKeywordsBeforeDelete;
DROP TABLE IF EXISTS TinlarkKeywordPending;
DROP TABLE IF EXISTS TinlarkKeywordIndexVersion;
DROP TABLE IF EXISTS TinlarkKeywordIndex;
DROP TABLE IF EXISTS TinlarkKeywordIndexBuild;
)sql";

// The index holds no copy of the keywords (contentless) and no statistics on their lengths
// (columnsize=0): it only answers which keys hold a run of characters. A pending row with
// Indexed = 1 says what the index holds for that ID (its TaalID and Keywords then); with
// Indexed = 0, that it holds nothing for it. The first note of an ID since the last catch-up
// is the one that counts, so a note is only added where there is none: never by a conflict
// clause, which an INSERT OR REPLACE on the speeches would turn into a replace. Before-
// triggers also note a row that a REPLACE is about to remove, which fires no delete trigger.
const char *const CreateSql = R"sql(
CREATE VIRTUAL TABLE TinlarkKeywordIndex USING fts5(
  Keywords, content='', columnsize=0, tokenize='trigram case_sensitive 1');
CREATE TABLE TinlarkKeywordPending (
  ID INTEGER PRIMARY KEY,
  Indexed INTEGER NOT NULL,
  TaalID,
  Keywords
);
CREATE TABLE TinlarkKeywordIndexVersion (Version TEXT);
CREATE TRIGGER TinlarkKeywordsBeforeInsert BEFORE INSERT ON Speeches BEGIN
  INSERT INTO TinlarkKeywordPending (ID, Indexed, TaalID, Keywords)
    SELECT ID, 1, TaalID, Keywords FROM Speeches s WHERE s.ID = new.ID
      AND NOT EXISTS (SELECT 1 FROM TinlarkKeywordPending p WHERE p.ID = s.ID);
END;
CREATE TRIGGER TinlarkKeywordsAfterInsert AFTER INSERT ON Speeches BEGIN
  INSERT INTO TinlarkKeywordPending (ID, Indexed)
    SELECT new.ID, 0 WHERE NOT EXISTS (SELECT 1 FROM TinlarkKeywordPending p WHERE p.ID = new.ID);
END;
CREATE TRIGGER TinlarkKeywordsBeforeUpdate BEFORE UPDATE OF ID, TaalID, Keywords ON Speeches BEGIN
  INSERT INTO TinlarkKeywordPending (ID, Indexed, TaalID, Keywords)
    SELECT ID, 1, TaalID, Keywords FROM Speeches s WHERE s.ID IN (old.ID, new.ID)
      AND NOT EXISTS (SELECT 1 FROM TinlarkKeywordPending p WHERE p.ID = s.ID);
END;
CREATE TRIGGER TinlarkKeywordsAfterUpdate AFTER UPDATE OF ID, TaalID, Keywords ON Speeches BEGIN
  INSERT INTO TinlarkKeywordPending (ID, Indexed)
    SELECT new.ID, 0 WHERE NOT EXISTS (SELECT 1 FROM TinlarkKeywordPending p WHERE p.ID = new.ID);
END;
CREATE TRIGGER TinlarkKeywordsBeforeDelete BEFORE DELETE ON Speeches BEGIN
  INSERT INTO TinlarkKeywordPending (ID, Indexed, TaalID, Keywords)
    SELECT old.ID, 1, old.TaalID, old.Keywords
      WHERE NOT EXISTS (SELECT 1 FROM TinlarkKeywordPending p WHERE p.ID = old.ID);
END;
)sql";

void execute(sqlite3 *db, const char *sql)
{
    runSqliteScript(db, sql);
}

QString currentVersion()
{
    UVersionInfo unicode;
    u_getUnicodeVersion(unicode);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(unicode, text);
    return QStringLiteral("2 trigram, Unicode %1").arg(QLatin1String(text));
}

QString buildingVersion()
{
    return QStringLiteral("building ") + currentVersion();
}

bool exists(sqlite3 *db, const QString &sql)
{
    SqliteStatement statement(db, sql);
    return statement.step() && statement.columnInt64(0) != 0;
}

// Whether the file holds every object of the index, made for this version; one statement,
// which fails to prepare when the version table is missing.
bool hasIndexOf(sqlite3 *db, const QString &version)
{
    try {
        SqliteStatement current(db, QStringLiteral("SELECT (SELECT count(*) FROM sqlite_master WHERE name IN ("
                                             "'TinlarkKeywordIndex', 'TinlarkKeywordPending', '%1', "
                                             "'TinlarkKeywordsBeforeInsert', 'TinlarkKeywordsAfterInsert', "
                                             "'TinlarkKeywordsBeforeUpdate', 'TinlarkKeywordsAfterUpdate', "
                                             "'TinlarkKeywordsBeforeDelete')) = %2 "
                                             "AND EXISTS (SELECT 1 FROM %1 WHERE Version = ?)")
                                  .arg(QLatin1String(VersionTable))
                                  .arg(ObjectCount));
        current.bind(1, version);
        return current.step() && current.columnInt64(0) != 0;
    } catch (const EDatabaseError &) {
        return false;
    }
}

// Whether the index is whole and answers searches.
bool isCurrent(sqlite3 *db)
{
    return hasIndexOf(db, currentVersion());
}

// The index's tables, triggers and version, empty.
void createObjects(sqlite3 *db, const QString &version)
{
    execute(db, CreateSql);
    SqliteStatement(db, QStringLiteral("INSERT INTO %1 (Version) VALUES (?)").arg(QLatin1String(VersionTable)))
        .execute({version});
}

// Whether speeches wait to be taken into the index; false also for a file without it.
bool hasPending(sqlite3 *db)
{
    try {
        return exists(db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM TinlarkKeywordPending)"));
    } catch (const EDatabaseError &) {
        return false;
    }
}

// The key of a speech with a language and keywords in columns of a row, when it has one:
// a speech whose keywords are null matches no pattern, and one whose language is no 32-bit
// integer matches no language the program asks for.
std::optional<qint64> keyOf(const SqliteStatement &row, qint64 id, int languageColumn, int keywordsColumn)
{
    if (id < 1 || id >= KeySpan || row.columnIsNull(keywordsColumn) || !row.columnIsInteger(languageColumn))
        return std::nullopt;
    const qint64 language = row.columnInt64(languageColumn);
    if (language < std::numeric_limits<int>::min() || language > std::numeric_limits<int>::max())
        return std::nullopt;
    return language * KeySpan + id;
}

// The trigram tokenizer ends the text at a NUL character, so the index holds one as U+FFFD,
// which invalid bytes become as well; a pattern with U+FFFD in it is therefore checked
// against the keywords themselves (see indexQuery).
constexpr char32_t Replacement = 0xFFFD;

QString foldedKeywords(const SqliteStatement &row, int keywordsColumn)
{
    const QByteArray keywords = row.columnUtf8(keywordsColumn);
    QString folded = QString::fromStdString(
        LikePattern::foldedUtf8(std::string_view(keywords.constData(), size_t(keywords.size()))));
    folded.replace(QChar(u'\0'), QChar(char16_t(Replacement)));
    return folded;
}

// Gathers the keys of a query's rows, in their order, into the vector handed to it as a
// pointer value: a million keys come out of one step of the statement.
const char *const KeysPointerType = "TinlarkKeywordKeys";

void collectKey(sqlite3_context *context, int, sqlite3_value **arguments)
{
    auto *keys = static_cast<std::vector<qint64> *>(sqlite3_value_pointer(arguments[0], KeysPointerType));
    if (!keys)
        return;
    try {
        keys->push_back(sqlite3_value_int64(arguments[1]));
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

void keysCollected(sqlite3_context *)
{
}

const QString AddSql = QStringLiteral("INSERT INTO TinlarkKeywordIndex (rowid, Keywords) VALUES (?, ?)");

// The runs of three or more characters between the wildcards of a folded pattern, as an
// FTS5 query that asks for all of them; empty when there is none. exact tells whether
// every key the query finds is a hit: the pattern is one run inside '%'s.
QString indexQuery(const std::u32string &pattern, bool &exact)
{
    QStringList phrases;
    const std::vector<std::u32string> runs = LikePattern::literalRuns(pattern);
    for (const std::u32string &run : runs) {
        if (run.size() < 3)
            continue;
        if (run.find(U'\0') != std::u32string::npos)
            return QString();
        QString phrase = QString::fromStdString(LikePattern::toUtf8(run));
        phrase.replace(QLatin1Char('"'), QLatin1String("\"\""));
        phrases.append(QLatin1Char('"') + phrase + QLatin1Char('"'));
    }
    const size_t body = pattern.find_first_not_of(U'%');
    const size_t end = pattern.find_last_not_of(U'%');
    exact = runs.size() == 1 && phrases.size() == 1 && body > 0 && body != std::u32string::npos && end + 1 < pattern.size()
            && pattern.find(U'_') == std::u32string::npos && pattern.find(Replacement) == std::u32string::npos;
    return phrases.join(QStringLiteral(" AND "));
}

} // namespace

namespace KeywordIndex {

void create(sqlite3 *db)
{
    createObjects(db, currentVersion());
    SqliteStatement speeches(db, QStringLiteral("SELECT ID, TaalID, Keywords FROM Speeches"));
    SqliteStatement add(db, AddSql);
    while (speeches.step()) {
        if (const std::optional<qint64> key = keyOf(speeches, speeches.columnInt64(0), 1, 2))
            add.execute({*key, foldedKeywords(speeches, 2)});
    }
}

bool ensure(sqlite3 *db)
{
    // Only this program's own statements may call it, never the file's schema.
    if (sqlite3_create_function_v2(db, "tinlark_collect_keys", 2, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, nullptr,
                                   collectKey, keysCollected, nullptr)
        != SQLITE_OK)
        return false;
    try {
        if (isCurrent(db))
            return true;
        if (buildPosition(db))
            return false;
        // The speeches are taken in later, in batches (buildBatch); the triggers note every
        // change from now on.
        SqliteTransaction transaction(db);
        if (isCurrent(db) || buildPosition(db))
            return isCurrent(db); // another program was quicker
        execute(db, DropSql);
        createObjects(db, buildingVersion());
        execute(db, "CREATE TABLE TinlarkKeywordIndexBuild (Position INTEGER NOT NULL);"
                    "INSERT INTO TinlarkKeywordIndexBuild (Position) VALUES (0)");
        transaction.commit();
        return false;
    } catch (const EDatabaseError &) {
        // A file that cannot be written now keeps working without the index.
        return false;
    }
}

void catchUp(sqlite3 *db)
{
    // Most writes leave no note (only keywords, languages and IDs count): one look decides.
    if (!hasPending(db))
        return;
    // While the index is built, it holds nothing for the speeches beyond the build's position:
    // their notes go, and the build reads those speeches as they are when it gets there.
    std::optional<qint64> lastTaken = std::numeric_limits<qint64>::max();
    if (!isCurrent(db) && !(lastTaken = buildPosition(db)))
        return;
    std::unique_ptr<SqliteStatement> remove;
    std::unique_ptr<SqliteStatement> add;
    try {
        remove = std::make_unique<SqliteStatement>(db, QStringLiteral("INSERT INTO TinlarkKeywordIndex (TinlarkKeywordIndex, "
                                                                "rowid, Keywords) VALUES ('delete', ?, ?)"));
        add = std::make_unique<SqliteStatement>(db, AddSql);
    } catch (const EDatabaseError &) {
        // An SQLite without FTS5 cannot reach the index: the notes wait for one that can,
        // and searches read the keywords meanwhile.
        return;
    }
    SqliteStatement pending(db, QStringLiteral("SELECT p.ID, p.Indexed, p.TaalID, p.Keywords, s.ID, s.TaalID, s.Keywords "
                                         "FROM TinlarkKeywordPending p LEFT JOIN Speeches s ON s.ID = p.ID"));
    while (pending.step()) {
        const qint64 id = pending.columnInt64(0);
        if (id > *lastTaken)
            continue;
        // What the index holds goes first, then the speech as it is now, if it is still there.
        if (pending.columnInt64(1) != 0) {
            if (const std::optional<qint64> key = keyOf(pending, id, 2, 3))
                remove->execute({*key, foldedKeywords(pending, 3)});
        }
        if (!pending.columnIsNull(4)) {
            if (const std::optional<qint64> key = keyOf(pending, id, 5, 6))
                add->execute({*key, foldedKeywords(pending, 6)});
        }
    }
    execute(db, "DELETE FROM TinlarkKeywordPending");
}

std::optional<qint64> buildPosition(sqlite3 *db)
{
    if (!hasIndexOf(db, buildingVersion()))
        return std::nullopt;
    try {
        SqliteStatement position(db, QStringLiteral("SELECT Position FROM %1").arg(QLatin1String(BuildTable)));
        if (position.step())
            return position.columnInt64(0);
    } catch (const EDatabaseError &) {
    }
    return std::nullopt;
}

bool buildBatch(sqlite3 *db, int speeches)
{
    SqliteTransaction transaction(db);
    // Notes made since the last batch count for the position they were made at.
    catchUp(db);
    const std::optional<qint64> position = buildPosition(db);
    if (!position)
        return false; // built meanwhile, or dropped by another program
    int read = 0;
    qint64 last = *position;
    {
        SqliteStatement batch(db, QStringLiteral("SELECT ID, TaalID, Keywords FROM Speeches WHERE ID > ? ORDER BY ID LIMIT ?"));
        batch.bindAll({last, speeches});
        SqliteStatement add(db, AddSql);
        while (batch.step()) {
            ++read;
            last = batch.columnInt64(0);
            if (const std::optional<qint64> key = keyOf(batch, last, 1, 2))
                add.execute({*key, foldedKeywords(batch, 2)});
        }
    }
    const bool more = read == speeches;
    if (more) {
        SqliteStatement(db, QStringLiteral("UPDATE %1 SET Position = ?").arg(QLatin1String(BuildTable))).execute({last});
    } else {
        execute(db, "DROP TABLE TinlarkKeywordIndexBuild");
        SqliteStatement(db, QStringLiteral("UPDATE %1 SET Version = ?").arg(QLatin1String(VersionTable)))
            .execute({currentVersion()});
    }
    transaction.commit();
    return more;
}

std::optional<std::vector<qint64>> find(sqlite3 *db, const QString &pattern, int languageId)
{
    const QByteArray utf8Pattern = pattern.toUtf8();
    const LikePattern like(std::string_view(utf8Pattern.constData(), size_t(utf8Pattern.size())));
    bool exact = false;
    const QString query = indexQuery(like.folded(), exact);
    if (query.isEmpty() || !isCurrent(db))
        return std::nullopt;
    if (hasPending(db)) {
        // Speeches changed by another program: take them in first, which is a write.
        try {
            SqliteTransaction transaction(db);
            transaction.commit();
        } catch (const EDatabaseError &) {
            return std::nullopt;
        }
    }
    // Only IDs that fit in a key are in the index.
    if (exists(db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM Speeches WHERE ID < 1) "
                                  "OR EXISTS (SELECT 1 FROM Speeches WHERE ID >= %1)").arg(KeySpan)))
        return std::nullopt;

    const qint64 base = qint64(languageId) * KeySpan;
    std::vector<qint64> ids;
    {
        std::unique_ptr<SqliteStatement> collect;
        try {
            collect = std::make_unique<SqliteStatement>(
                db, QStringLiteral("SELECT tinlark_collect_keys(?, rowid) FROM TinlarkKeywordIndex "
                                   "WHERE TinlarkKeywordIndex MATCH ? AND rowid BETWEEN ? AND ?"));
        } catch (const EDatabaseError &) {
            return std::nullopt; // a connection that ensure() did not ready reads the keywords
        }
        SqliteStatement &hits = *collect;
        hits.bindPointer(1, &ids, KeysPointerType);
        hits.bind(2, query);
        hits.bind(3, base + 1);
        hits.bind(4, base + KeySpan - 1);
        while (hits.step()) {
        }
    }
    for (qint64 &id : ids)
        id -= base;
    if (exact)
        return ids;

    // The index found every speech that holds the pattern's runs; the pattern itself decides.
    SqliteStatement keywords(db, QStringLiteral("SELECT Keywords FROM Speeches WHERE ID = ?"));
    std::vector<qint64> matching;
    for (const qint64 id : ids) {
        keywords.reset();
        keywords.bind(1, id);
        if (keywords.step()) {
            const QByteArray text = keywords.columnUtf8(0);
            if (like.matches(std::string_view(text.constData(), size_t(text.size()))))
                matching.push_back(id);
        }
    }
    return matching;
}

std::optional<std::vector<qint64>> find(sqlite3 *db, const SqlCommand &command)
{
    const std::optional<KeywordQuery> query = KeywordQuery::recognize(command);
    if (!query)
        return std::nullopt;
    // A language of a few thousand speeches is read quicker than the index is asked: the
    // count stops there, so it costs little in a large language too.
    SqliteStatement size(db, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM Speeches WHERE TaalID = ? LIMIT %1)")
                           .arg(SmallLanguage));
    size.bind(1, query->languageId);
    if (size.step() && size.columnInt64(0) < SmallLanguage)
        return std::nullopt;
    return find(db, query->pattern, query->languageId);
}

} // namespace KeywordIndex
