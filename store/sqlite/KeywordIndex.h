#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

struct sqlite3;
struct SqlCommand;

// An index of the speeches' keywords by every run of three characters (an FTS5 trigram
// index over the keywords in their case-folded form), so that a keyword search finds its
// hits without reading every keyword of the language. An entry's key is the language and
// the speech ID together, so that one language's hits are one range of the index, in the
// order of their IDs.
//
// Earlier builds of the program know nothing of the index and keep working on a file that
// has it: triggers written in SQLite's own SQL, with no function of this program, note each
// speech whose ID, language or keywords change in a small pending table, together with what
// the index still holds for it. This build takes those notes into the index before each of
// its own commits, so the index is stored in the same transaction as the change, and before
// a search.
namespace KeywordIndex {

// Adds the index to the database, filled from the speeches; run it in a transaction.
void create(sqlite3 *db);

// Readies a connection for searches through the index and makes sure the database has the
// index in its current form. A file that lacks it (made by an earlier build) gets it empty,
// to be filled by buildBatch, which a crash or a stop leaves where it was. True when the
// index is whole; until then (also when the file cannot be written now) searches read the
// keywords instead.
bool ensure(sqlite3 *db);

// While the index is being built: the highest speech ID taken in so far (0 at the start).
std::optional<qint64> buildPosition(sqlite3 *db);

// Takes the next speeches (up to this many, in the order of their IDs) into an index being
// built, in one transaction of its own, and marks the index whole after the last one.
// True while speeches are left.
bool buildBatch(sqlite3 *db, int speeches);

// Takes the noted speeches into the index. Run it within a write transaction; without an
// index it does nothing.
void catchUp(sqlite3 *db);

// The IDs, in ascending order, of the speeches of a language whose keywords are Like the
// pattern. None when the index cannot answer: no run of three characters between the
// wildcards, no index, notes that cannot be taken in now, or IDs beyond the index's keys.
std::optional<std::vector<qint64>> find(sqlite3 *db, const QString &pattern, int languageId);

// The same for a command that is the program's keyword search; none for any other command.
std::optional<std::vector<qint64>> find(sqlite3 *db, const SqlCommand &command);

} // namespace KeywordIndex
