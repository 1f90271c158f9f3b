#pragma once

#include <QString>

struct sqlite3;

// The tables of a speech database, with the keys and indexes the program relies on.
namespace Schema {

// The most characters a language's name and a speech's keywords may hold. A database
// brought in from elsewhere keeps the limits its columns had there, when they were wider.
struct TextLimits
{
    int languageName = 50;
    int keywords = 50;
};

// Creates the tables in an empty database. Raises EDatabaseError on failure.
void create(sqlite3 *db, TextLimits limits = {});

// Creates a new database file with empty tables; refuses to touch an existing file.
void createFile(const QString &path);

} // namespace Schema
