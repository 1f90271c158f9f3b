#pragma once

struct sqlite3;

// Runs statements that take no values (schema scripts); raises EDatabaseError with SQLite's
// message when one fails.
void runSqliteScript(sqlite3 *db, const char *sql);
