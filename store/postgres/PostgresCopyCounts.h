#pragma once

class PostgresSession;

// How often each speech of a server library was copied to the clipboard, counted by a function
// that runs as the library's owner: a writer needs no right to change the counts, so nobody
// can set one or a time of their choosing. It adds one copy, stamped with the server's clock,
// for a user who may change speeches.
namespace PostgresCopyCounts {

// Adds the function; run it as the library's owner, within a transaction, after the word index.
void create(PostgresSession &session);

// Whether the library counts copies through the function: a condition for SQL.
inline constexpr const char *CountedByOwnerCondition =
    R"(pg_catalog.to_regprocedure('"TinlarkNoteCopy"(pg_catalog.int8)') IS NOT NULL)";

// The statement that counts one copy of the speech bound to its one '?': through the function
// when the library has it, otherwise (a library its owner has not opened since) directly.
const char *noteCopyCommand(PostgresSession &session);

} // namespace PostgresCopyCounts
