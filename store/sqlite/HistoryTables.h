#pragma once

struct sqlite3;

// The versions a file keeps of its speeches: triggers written in SQLite's own SQL copy a
// speech as it was into the table SpeechHistory before an edit or a delete replaces it, in
// the same transaction as the change, whatever statement or program makes it. Each speech
// keeps its last few versions (the trigger drops the oldest by the speech's ID, which the
// index makes cheap); deleted speeches are dropped after some days by SpeechHistory::prune.
namespace HistoryTables {

// Adds the table, its limits and triggers to a database; run it in a transaction.
void create(sqlite3 *db);

// Gives a file made by an earlier build its history now, in a transaction of its own. A file
// that cannot be written now simply keeps no history.
void ensure(sqlite3 *db);

} // namespace HistoryTables
