#pragma once

#include "Schema.h"

class PostgresDatabase;

// The tables of a speech database on a server, with the same columns, limits and indexes
// as in a file, and the folded keywords that keyword searches look up.
namespace PostgresSchema {

// Creates the tables in an empty server database, in one transaction. Raises EDatabaseError.
void create(PostgresDatabase &database, Schema::TextLimits limits = {});

} // namespace PostgresSchema
