#pragma once

#include "WordIndex.h"

class PostgresDatabase;
class PostgresSession;

// The word index of a server library: the speeches' folded words (SpeechWords, the program's
// own folding, so that a server without the unaccent extension, or with a collation that
// folds otherwise, finds what a file finds) as a tsvector, keywords weighted A, text B and
// comments C, under a GIN index; and the keywords' words alone under one of their own. A
// trigger in plain PL/pgSQL notes each speech whose ID, language or text changes, by whatever
// client; this program takes the notes its transaction can see into the index before each
// commit and before a search.
class PostgresWordIndex : public WordIndex
{
public:
    explicit PostgresWordIndex(PostgresDatabase &database) : m_database(database) {}

    // Adds the index, filled from the speeches, to a library; run it within a transaction.
    static void create(PostgresSession &session, bool fill);
    // Gives a library made by an earlier build an empty index to be built, made as the
    // library's owner, when the user may act as that owner; run it outside a transaction.
    static void ensure(PostgresSession &session);
    // Takes the noted speeches into the index; run it within a write transaction.
    static void catchUp(PostgresSession &session);

    bool ready() override;
    std::vector<qint64> find(const QStringList &words, Columns columns, std::optional<qint64> languageId,
                             int limit) override;
    bool incomplete() override;
    BuildState buildBatch(int batchSize) override;

private:
    PostgresDatabase &m_database;
};
