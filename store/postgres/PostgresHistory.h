#pragma once

class PostgresSession;

// The versions a server library keeps of its speeches, kept by the server itself: a trigger
// on Speeches copies a speech as it was into "SpeechHistory" before an edit or a delete
// replaces it, in the same transaction, whichever program makes the change, with the user
// who made it. Each speech keeps its last few versions; deleted speeches are dropped after
// some days by SpeechHistory::prune.
namespace PostgresHistory {

// Adds the table, its limits and trigger; run it in the transaction that makes the library.
void create(PostgresSession &session);
// Has the versions of a library made by an earlier build kept as its owner; run it as the owner.
void keepAsOwner(PostgresSession &session);
// Whether a role that may only read the versions still has its changes kept: a condition on a
// library's functions, for SQL.
inline constexpr const char *KeptAsOwnerCondition =
    R"(coalesce((SELECT p.prosecdef FROM pg_catalog.pg_proc p WHERE p.oid OPERATOR(pg_catalog.=) )"
    R"(pg_catalog.to_regprocedure('"TinlarkKeepVersion"()')), false))";

} // namespace PostgresHistory
