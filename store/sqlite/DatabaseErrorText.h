#pragma once

#include <QString>

struct sqlite3;

// What the user reads when SQLite refuses something: for the failures a person can act on
// (another program holds the file, a full disk, a file that cannot be written, a file that
// is no database) the file, the cause and what to do; otherwise SQLite's own words.
QString databaseErrorText(sqlite3 *db);

// How long a statement waits for another program that holds the database.
constexpr int DatabaseBusyTimeoutMs = 5000;
