#pragma once

struct sqlite3;

// Replaces SQLite's Like, which ignores letter case for ASCII letters only, with one that
// ignores it for every letter (see LikePattern). Raises EDatabaseError when it cannot.
void registerLikeFunction(sqlite3 *db);
