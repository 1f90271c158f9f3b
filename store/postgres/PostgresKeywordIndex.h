#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

class PostgresSession;
struct SqlCommand;

// The speeches' keywords in their case-folded form, as the program folds them (the server's
// lower() folds otherwise), in a table of their own with a trigram index by language
// (pg_trgm and btree_gin), so that a keyword search gives the same hits as on a file and
// finds them without reading every keyword.
//
// A trigger in plain PL/pgSQL notes each speech whose ID, language or keywords change, by
// whatever client; each client of this program takes the notes its transaction can see into
// the folded table before it commits, so the folded keywords are stored with the change.
namespace PostgresKeywordIndex {

// Adds the folded table, the notes and the trigger to a new library. Run within a transaction.
void create(PostgresSession &session);

// Takes the noted speeches into the folded table. Run within a write transaction.
void catchUp(PostgresSession &session);

// Whether speeches wait to be folded.
bool hasPending(PostgresSession &session);

// The IDs, ascending, of the speeches of a language whose keywords are Like the pattern.
std::vector<qint64> find(PostgresSession &session, const QString &pattern, int languageId);

} // namespace PostgresKeywordIndex
