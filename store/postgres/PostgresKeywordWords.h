#pragma once

#include "WordIndex.h"

#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <vector>

class PostgresSession;

// The words of the folded keywords (split at white space), each language's distinct words
// under a trigram index, and for each word the IDs of its speeches in posting lists: one row
// per word and range of 1024 IDs. A pattern that is one run of characters without white
// space between '%'s matches exactly the speeches that hold a word containing the run, so
// such a search reads a few words and then only the IDs of its hits, in a few hundred rows,
// where the folded keywords would have every hit's row read and matched again.
//
// Triggers on the folded keywords keep the words, whoever writes them (this program, an
// earlier build of it); a library made by an earlier build gets the tables empty at its first
// open and built in batches with the word index, and answers no search until then.
namespace PostgresKeywordWords {

// Adds the tables and the triggers; complete: filled already (a new library, with no
// speeches yet). Run within a transaction, after the folded keywords' table is made.
void create(PostgresSession &session, bool complete);

// Whether the tables exist, may be read and are not complete yet.
bool incomplete(PostgresSession &session);

// Takes up to batchSize more folded keywords into words being built. Run within a write
// transaction; indexed counts the speeches taken in so far.
WordIndex::BuildState buildBatch(PostgresSession &session, int batchSize);

// The IDs, ascending, of the speeches of a language with a word Like wordPattern (a run
// between '%'s, in the server's Like syntax, without white space); nothing when the words
// cannot answer (missing, not readable, still being built).
std::optional<std::vector<qint64>> find(PostgresSession &session, const QByteArray &language, const QByteArray &wordPattern);

// Whether a folded character splits the keywords into words.
bool isSeparator(char32_t c);

} // namespace PostgresKeywordWords
