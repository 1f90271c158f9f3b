#pragma once

#include <QByteArray>

class PostgresSession;

// The server itself tells of every change to the speeches and the languages, whichever program
// makes it: after each statement that changed rows, a notification on the library's channel
// names the table, the kind of change and the row's key ("Speeches update 12"), or "*" for
// the key when the statement changed several rows. It is sent when the change is committed.
namespace PostgresChangeNotice {

// Adds the triggers; run it in the transaction that makes the library.
void create(PostgresSession &session);

// The query that answers the name of the library's channel on a session whose path is the library's.
QByteArray channelQuery();

} // namespace PostgresChangeNotice
