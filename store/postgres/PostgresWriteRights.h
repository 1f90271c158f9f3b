#pragma once

#include <QString>

class PostgresSession;

// What the server lets the session's role do to a library: the program writes the speeches,
// the languages, and through the server's triggers the history and the keyword index.
namespace PostgresWriteRights {

// Why the program cannot store changes in the library, for the user; empty when it can. A
// table the library does not have (made by an earlier build) is not asked for.
QString missing(PostgresSession &session);

} // namespace PostgresWriteRights
