#include "SqliteWordIndex.h"

#include "EDatabaseError.h"
#include "SpeechWords.h"
#include "SqliteScript.h"
#include "SqliteStatement.h"
#include "SqliteTransaction.h"

#include <QSet>
#include <limits>
#include <optional>
#include <sqlite3.h>

namespace {

// An entry's key: the language in the high 32 bits, the speech ID in the low ones.
constexpr qint64 KeySpan = qint64(1) << 32;

// The version changes when the index's form or the folding of its words changes: an index
// made otherwise is built again.
QString currentVersion()
{
    return QStringLiteral("5 words ascii, keywords apart, word list, prefixes to 4, %1").arg(SpeechWords::foldingVersion());
}

const char *const DropSql = R"sql(
DROP TRIGGER IF EXISTS TinlarkWordsBeforeInsert;
DROP TRIGGER IF EXISTS TinlarkWordsAfterInsert;
DROP TRIGGER IF EXISTS TinlarkWordsBeforeUpdate;
DROP TRIGGER IF EXISTS TinlarkWordsAfterUpdate;
DROP TRIGGER IF EXISTS TinlarkWordsBeforeDelete;
DROP TABLE IF EXISTS TinlarkWordPending;
DROP TABLE IF EXISTS TinlarkWordState;
DROP TABLE IF EXISTS TinlarkWordIndex;
DROP TABLE IF EXISTS TinlarkWordKeywords;
DROP TABLE IF EXISTS TinlarkWordTerms;
)sql";

// Only the presence of a word in a column counts (detail=column), which keeps the index small.
// The index is given the words SpeechWords makes, folded and parted by spaces, and its tokenizer
// splits at those spaces only (it takes every other character but ASCII punctuation, which the
// words hold none of, as part of a word): so the words indexed and the words typed are made by
// the same code, whatever Unicode version SQLite's own tokenizer knows. The keywords' words are
// also in a small index of their own: whether any keyword holds a word is then answered
// without reading through every text that holds it. A pending row with
// Indexed = 1 holds the speech as the index may hold it; the first note of an ID since the
// last catch-up is the one that counts (see KeywordIndex, whose notes work the same way).
// The state says up to which ID an index being built holds the speeches. TinlarkWordTerms lists
// every word the index was ever given (a word no speech holds any more is harmless): the words
// that begin with a typed one are found there without reading their hits.
const char *const CreateSql = R"sql(
CREATE VIRTUAL TABLE TinlarkWordIndex USING fts5(Keywords, Tekst, Comments, content='', columnsize=0,
  detail=column, prefix='1 2 3 4', tokenize='ascii');
CREATE VIRTUAL TABLE TinlarkWordKeywords USING fts5(Keywords, content='', columnsize=0, detail=none, prefix='1 2 3 4',
  tokenize='ascii');
CREATE TABLE TinlarkWordPending (ID INTEGER PRIMARY KEY, Indexed INTEGER NOT NULL, TaalID, Keywords, Tekst, Comments);
CREATE TABLE TinlarkWordTerms (Word TEXT PRIMARY KEY) WITHOUT ROWID;
CREATE TABLE TinlarkWordState (Version TEXT NOT NULL, BuiltTo INTEGER NOT NULL, Complete INTEGER NOT NULL);
CREATE TRIGGER TinlarkWordsBeforeInsert BEFORE INSERT ON Speeches BEGIN
  INSERT INTO TinlarkWordPending (ID, Indexed, TaalID, Keywords, Tekst, Comments)
    SELECT ID, 1, TaalID, Keywords, Tekst, Comments FROM Speeches s WHERE s.ID = new.ID
      AND NOT EXISTS (SELECT 1 FROM TinlarkWordPending p WHERE p.ID = s.ID);
END;
CREATE TRIGGER TinlarkWordsAfterInsert AFTER INSERT ON Speeches BEGIN
  INSERT INTO TinlarkWordPending (ID, Indexed)
    SELECT new.ID, 0 WHERE NOT EXISTS (SELECT 1 FROM TinlarkWordPending p WHERE p.ID = new.ID);
END;
CREATE TRIGGER TinlarkWordsBeforeUpdate BEFORE UPDATE OF ID, TaalID, Keywords, Tekst, Comments ON Speeches BEGIN
  INSERT INTO TinlarkWordPending (ID, Indexed, TaalID, Keywords, Tekst, Comments)
    SELECT ID, 1, TaalID, Keywords, Tekst, Comments FROM Speeches s WHERE s.ID IN (old.ID, new.ID)
      AND NOT EXISTS (SELECT 1 FROM TinlarkWordPending p WHERE p.ID = s.ID);
END;
CREATE TRIGGER TinlarkWordsAfterUpdate AFTER UPDATE OF ID, TaalID, Keywords, Tekst, Comments ON Speeches BEGIN
  INSERT INTO TinlarkWordPending (ID, Indexed)
    SELECT new.ID, 0 WHERE NOT EXISTS (SELECT 1 FROM TinlarkWordPending p WHERE p.ID = new.ID);
END;
CREATE TRIGGER TinlarkWordsBeforeDelete BEFORE DELETE ON Speeches BEGIN
  INSERT INTO TinlarkWordPending (ID, Indexed, TaalID, Keywords, Tekst, Comments)
    SELECT old.ID, 1, old.TaalID, old.Keywords, old.Tekst, old.Comments
      WHERE NOT EXISTS (SELECT 1 FROM TinlarkWordPending p WHERE p.ID = old.ID);
END;
)sql";

// The copies of each speech to the clipboard, which rank the hits; they go with the speech.
const char *const CopiesSql = R"sql(
CREATE TABLE IF NOT EXISTS SpeechCopies (
  SpeechID INTEGER PRIMARY KEY,
  Copies INTEGER NOT NULL,
  LastCopied TEXT NOT NULL
);
DROP TRIGGER IF EXISTS TinlarkCopiesDelete;
CREATE TRIGGER TinlarkCopiesDelete AFTER DELETE ON Speeches BEGIN
  DELETE FROM SpeechCopies WHERE SpeechID = old.ID;
END;
)sql";

void execute(sqlite3 *db, const char *sql)
{
    runSqliteScript(db, sql);
}

struct State
{
    qint64 builtTo = std::numeric_limits<qint64>::min();
    bool complete = false;
};

// The index's state; none for a file without the index in its current form.
std::optional<State> stateOf(sqlite3 *db)
{
    try {
        SqliteStatement state(db, QStringLiteral("SELECT BuiltTo, Complete FROM TinlarkWordState WHERE Version = ? "
                                                 "AND (SELECT count(*) FROM sqlite_master WHERE name IN ("
                                                 "'TinlarkWordIndex', 'TinlarkWordKeywords', 'TinlarkWordPending', 'TinlarkWordTerms', "
                                                 "'TinlarkWordsBeforeInsert', "
                                                 "'TinlarkWordsAfterInsert', 'TinlarkWordsBeforeUpdate', "
                                                 "'TinlarkWordsAfterUpdate', 'TinlarkWordsBeforeDelete')) = 9"));
        state.bind(1, currentVersion());
        if (!state.step())
            return std::nullopt;
        return State{state.columnInt64(0), state.columnInt64(1) != 0};
    } catch (const EDatabaseError &) {
        return std::nullopt;
    }
}

// A speech's key, when it has one: its ID and its language must fit in their halves.
std::optional<qint64> keyOf(const SqliteStatement &row, qint64 id, int languageColumn)
{
    if (id < 1 || id >= KeySpan || !row.columnIsInteger(languageColumn))
        return std::nullopt;
    const qint64 language = row.columnInt64(languageColumn);
    if (language < std::numeric_limits<int>::min() || language > std::numeric_limits<int>::max())
        return std::nullopt;
    return language * KeySpan + id;
}

// Adds speeches to both tables of the index, or takes them out (with FTS5's 'delete' command,
// which needs the words the index was given).
class IndexWriter
{
public:
    IndexWriter(sqlite3 *db, bool remove)
        : m_words(db, remove ? QStringLiteral("INSERT INTO TinlarkWordIndex (TinlarkWordIndex, rowid, Keywords, Tekst, "
                                              "Comments) VALUES ('delete', ?, ?, ?, ?)")
                             : QStringLiteral("INSERT INTO TinlarkWordIndex (rowid, Keywords, Tekst, Comments) "
                                              "VALUES (?, ?, ?, ?)")),
          m_keywords(db, remove ? QStringLiteral("INSERT INTO TinlarkWordKeywords (TinlarkWordKeywords, rowid, Keywords) "
                                                 "VALUES ('delete', ?, ?)")
                                : QStringLiteral("INSERT INTO TinlarkWordKeywords (rowid, Keywords) VALUES (?, ?)"))
    {
        if (!remove)
            m_terms.emplace(db, QStringLiteral("INSERT OR IGNORE INTO TinlarkWordTerms (Word) VALUES (?)"));
    }

    // The speech whose language, keywords, text and comments are the row's columns from first on.
    void write(const SqliteStatement &row, qint64 id, int first)
    {
        const std::optional<qint64> key = keyOf(row, id, first);
        if (!key)
            return;
        QVariantList values{*key};
        QSet<QString> terms;
        for (int column = first + 1; column <= first + 3; ++column) {
            const QStringList words = SpeechWords::words(row.columnValue(column).toString());
            values.append(words.join(QLatin1Char(' ')));
            if (m_terms)
                terms.unite(QSet<QString>(words.begin(), words.end()));
        }
        for (const QString &term : std::as_const(terms))
            m_terms->execute({term});
        m_words.execute(values);
        m_keywords.execute({*key, values.at(1)});
    }

private:
    SqliteStatement m_words;
    SqliteStatement m_keywords;
    std::optional<SqliteStatement> m_terms; // when adding
};

QString tableFor(WordIndex::Columns columns)
{
    return columns == WordIndex::Columns::Keywords ? QStringLiteral("TinlarkWordKeywords") : QStringLiteral("TinlarkWordIndex");
}

QString quoted(QString word)
{
    return QLatin1Char('"') + word.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

qint64 count(sqlite3 *db, const QString &sql, const QVariantList &values = {})
{
    SqliteStatement statement(db, sql);
    statement.bindAll(values);
    return statement.step() ? statement.columnInt64(0) : 0;
}

} // namespace

void SqliteWordIndex::create(sqlite3 *db)
{
    execute(db, CopiesSql);
    execute(db, CreateSql);
    SqliteStatement(db, QStringLiteral("INSERT INTO TinlarkWordState (Version, BuiltTo, Complete) VALUES (?, ?, 1)"))
        .execute({currentVersion(), std::numeric_limits<qint64>::max()});
    SqliteStatement speeches(db, QStringLiteral("SELECT ID, TaalID, Keywords, Tekst, Comments FROM Speeches"));
    IndexWriter add(db, false);
    while (speeches.step())
        add.write(speeches, speeches.columnInt64(0), 1);
}

void SqliteWordIndex::ensure(sqlite3 *db)
{
    if (stateOf(db) || sqlite3_db_readonly(db, "main") == 1)
        return;
    try {
        SqliteTransaction transaction(db);
        execute(db, CopiesSql);
        execute(db, DropSql);
        execute(db, CreateSql);
        SqliteStatement(db, QStringLiteral("INSERT INTO TinlarkWordState (Version, BuiltTo, Complete) VALUES (?, ?, 0)"))
            .execute({currentVersion(), std::numeric_limits<qint64>::min()});
        transaction.commit();
    } catch (const EDatabaseError &) {
        // Another program holds the file, or this SQLite has no FTS5: searches read the speeches.
    }
}

void SqliteWordIndex::catchUp(sqlite3 *db)
{
    // Most writes of the program leave no note only when nothing changed; one look decides.
    try {
        if (count(db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM TinlarkWordPending)")) == 0)
            return;
    } catch (const EDatabaseError &) {
        return; // a file without the index
    }
    const std::optional<State> state = stateOf(db);
    if (!state)
        return;
    // The index holds a speech when its ID is within what has been built; beyond that the
    // building will read the speech as it is then.
    const auto built = [&](qint64 id) { return state->complete || id <= state->builtTo; };
    IndexWriter remove(db, true);
    IndexWriter add(db, false);
    SqliteStatement pending(db, QStringLiteral("SELECT p.ID, p.Indexed, p.TaalID, p.Keywords, p.Tekst, p.Comments, "
                                               "s.ID, s.TaalID, s.Keywords, s.Tekst, s.Comments "
                                               "FROM TinlarkWordPending p LEFT JOIN Speeches s ON s.ID = p.ID"));
    while (pending.step()) {
        const qint64 id = pending.columnInt64(0);
        if (!built(id))
            continue;
        // What the index holds goes first, then the speech as it is now, if it is still there.
        if (pending.columnInt64(1) != 0)
            remove.write(pending, id, 2);
        if (!pending.columnIsNull(6))
            add.write(pending, id, 7);
    }
    execute(db, "DELETE FROM TinlarkWordPending");
}

bool SqliteWordIndex::ready()
{
    const std::optional<State> state = stateOf(m_db);
    if (!state || !state->complete)
        return false;
    try {
        if (count(m_db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM TinlarkWordPending)")) != 0) {
            // Speeches changed by another program: take them in first, which is a write.
            SqliteTransaction transaction(m_db);
            transaction.commit();
        }
        // Only IDs that fit in a key are in the index.
        return count(m_db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM Speeches WHERE ID < 1) "
                                          "OR EXISTS (SELECT 1 FROM Speeches WHERE ID >= ?)"),
                     {KeySpan})
               == 0;
    } catch (const EDatabaseError &) {
        return false;
    }
}

// The longest typed word FTS5 finds through a prefix index of its own (prefix='1 2 3 4'). The
// shortest words begin the most words of the index: "inte" may begin thousands, which neither
// FTS5's own prefix search nor asking for each word (some 10 to 20 microseconds each) reads
// within a keystroke; a prefix index reads them in key order and stops at the limit.
constexpr int LongestIndexedPrefix = 4;
// More words than this beginning with a typed one are left to FTS5's own prefix search.
constexpr int MostWordsStartingWith = 100;

// The index's words that begin with a longer typed word, when they are not too many. FTS5 reads
// such a word's hits by merging the whole list of every word that begins with it before it gives
// the first one (tens of milliseconds for a common word in a language of a million speeches);
// the same words, each given exactly, are read in key order and stop at the limit.
std::optional<QStringList> SqliteWordIndex::indexedWordsStartingWith(const QString &word)
{
    SqliteStatement terms(m_db, QStringLiteral("SELECT Word FROM TinlarkWordTerms WHERE Word >= ? ORDER BY Word"));
    terms.bind(1, word);
    const QByteArray start = word.toUtf8();
    std::optional<QStringList> found = QStringList();
    // The words are in the order of their bytes: those that begin with the typed one come together.
    while (found && terms.step()) {
        const QString term = terms.columnValue(0).toString();
        if (!term.toUtf8().startsWith(start))
            break;
        if (found->size() == MostWordsStartingWith)
            found.reset();
        else
            found->append(term);
    }
    return found;
}

// Every word as a quoted prefix or as the words of the index that begin with it, all of them
// required, within the columns (the keywords have a table of their own): no text the user typed
// is read as an operator of the query language. None when a word begins no word of the index.
std::optional<QString> SqliteWordIndex::matchQuery(const QStringList &words, Columns columns)
{
    QStringList terms;
    for (const QString &word : words) {
        const std::optional<QStringList> starting =
            word.size() > LongestIndexedPrefix ? indexedWordsStartingWith(word) : std::nullopt;
        if (!starting) {
            terms.append(quoted(word) + QLatin1Char('*'));
            continue;
        }
        if (starting->isEmpty())
            return std::nullopt;
        QStringList any;
        for (const QString &term : *starting)
            any.append(quoted(term));
        terms.append(QLatin1Char('(') + any.join(QLatin1String(" OR ")) + QLatin1Char(')'));
    }
    const QString all = QLatin1Char('(') + terms.join(QLatin1String(" AND ")) + QLatin1Char(')');
    return columns == WordIndex::Columns::KeywordsOrText ? QStringLiteral("{Keywords Tekst} : ") + all : all;
}

std::vector<qint64> SqliteWordIndex::find(const QStringList &words, Columns columns, std::optional<qint64> languageId,
                                          int limit)
{
    const std::optional<QString> match = matchQuery(words, columns);
    if (!match)
        return {};
    QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?").arg(tableFor(columns));
    QVariantList values{*match};
    if (languageId) {
        sql += QStringLiteral(" AND rowid BETWEEN ? AND ?");
        values << *languageId * KeySpan + 1 << *languageId * KeySpan + KeySpan - 1;
    }
    SqliteStatement hits(m_db, sql + QStringLiteral(" ORDER BY rowid LIMIT ?"));
    hits.bindAll(values << limit);
    std::vector<qint64> ids;
    while (hits.step())
        ids.push_back(hits.columnInt64(0) & (KeySpan - 1));
    return ids;
}

bool SqliteWordIndex::incomplete()
{
    const std::optional<State> state = stateOf(m_db);
    return state && !state->complete;
}

WordIndex::BuildState SqliteWordIndex::buildBatch(int batchSize)
{
    SqliteTransaction transaction(m_db);
    std::optional<State> state = stateOf(m_db);
    if (!state)
        throw EDatabaseError(QStringLiteral("The library has no word index to build"));
    if (!state->complete) {
        // Notes made before this batch concern the speeches as the index holds them now.
        catchUp(m_db);
        SqliteStatement speeches(m_db, QStringLiteral("SELECT ID, TaalID, Keywords, Tekst, Comments FROM Speeches "
                                                      "WHERE ID > ? ORDER BY ID LIMIT ?"));
        speeches.bindAll({state->builtTo, batchSize});
        IndexWriter add(m_db, false);
        int taken = 0;
        while (speeches.step()) {
            state->builtTo = speeches.columnInt64(0);
            add.write(speeches, state->builtTo, 1);
            ++taken;
        }
        state->complete = taken < batchSize;
        SqliteStatement(m_db, QStringLiteral("UPDATE TinlarkWordState SET BuiltTo = ?, Complete = ?"))
            .execute({state->builtTo, state->complete ? 1 : 0});
    }
    BuildState built;
    built.total = count(m_db, QStringLiteral("SELECT count(*) FROM Speeches"));
    built.indexed = state->complete ? built.total
                                    : count(m_db, QStringLiteral("SELECT count(*) FROM Speeches WHERE ID <= ?"), {state->builtTo});
    built.complete = state->complete;
    transaction.commit();
    return built;
}
