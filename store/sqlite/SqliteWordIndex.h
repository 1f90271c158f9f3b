#pragma once

#include "WordIndex.h"

struct sqlite3;

// The word index of a library file: an FTS5 index (with prefix indexes) of the speeches'
// folded keywords, text and comments. The folding is the program's own, so the index is given
// a folded copy of each column and holds no copy of the text itself (contentless). An entry's
// key is the language and the speech ID together, so that one language is one range of keys.
//
// Triggers in SQLite's own SQL, with no function of this program, note each speech another
// program (or an earlier build) changes, together with what the index still holds for it; this
// program takes those notes in before each of its own commits and before a search.
class SqliteWordIndex : public WordIndex
{
public:
    explicit SqliteWordIndex(sqlite3 *db) : m_db(db) {}

    // Adds the index, filled from the speeches, to a new file; run it in a transaction.
    static void create(sqlite3 *db);
    // Gives a file that lacks the index (or has one of another form) an empty one to be built
    // by buildBatch, in a short transaction of its own; a file that cannot be written is left.
    static void ensure(sqlite3 *db);
    // Takes the noted speeches into the index; run it within a write transaction.
    static void catchUp(sqlite3 *db);

    bool ready() override;
    std::vector<qint64> find(const QStringList &words, Columns columns, std::optional<qint64> languageId,
                             int limit) override;
    bool incomplete() override;
    BuildState buildBatch(int batchSize) override;

private:
    std::optional<QString> matchQuery(const QStringList &words, Columns columns);
    std::optional<QStringList> indexedWordsStartingWith(const QString &word);

    sqlite3 *m_db;
};
