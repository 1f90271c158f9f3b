#pragma once

#include "Schema.h"

class PostgresDatabase;

// The tables of a speech database on a server, with the same columns, limits and indexes
// as in a file, and the folded keywords that keyword searches look up.
namespace PostgresSchema {

// Creates the tables in an empty server database, in one transaction. Raises EDatabaseError.
void create(PostgresDatabase &database, Schema::TextLimits limits = {});

// After rows were copied in with their IDs: the server's next IDs follow the highest ID of
// each table or the last one the source gave out, whichever is higher, so that no ID is
// given twice, not even one of a row the source deleted.
void continueIdsAfterCopy(PostgresDatabase &database, qint64 lastLanguageId, qint64 lastSpeechId);

} // namespace PostgresSchema
