#pragma once

#include "SchemaTextLimits.h"

#include <QString>

struct sqlite3;

// The tables of a speech database, with the keys and indexes the program relies on.
namespace Schema {

// Creates the tables in an empty database. Raises EDatabaseError on failure.
void create(sqlite3 *db, TextLimits limits = {});

// Creates a new database file with empty tables; refuses to touch an existing file.
void createFile(const QString &path);

} // namespace Schema
