#pragma once

#include <QByteArray>
#include <functional>

class PostgresSession;

// The notes of changed speeches that an index kept by the program reads: a table of speech IDs
// filled by a trigger in plain PL/pgSQL, so that a change by any client is noted in its own
// transaction, and taken out by this program to bring its index in step.
namespace PostgresChangeNotes {

// The SQL that makes the table of notes and the trigger (function and trigger of one name)
// noting each speech inserted, deleted, or changed in one of the columns (quoted names).
QByteArray createSql(const QByteArray &table, const QByteArray &trigger, const QByteArray &columns);

// Takes the notes out a batch at a time and hands each batch's IDs to bringInStep as an array
// literal. Taking a note out locks it: a note another client is taking in is left to it.
// Run within a write transaction.
void takeOut(PostgresSession &session, const QByteArray &table, const std::function<void(const QByteArray &ids)> &bringInStep);

} // namespace PostgresChangeNotes
