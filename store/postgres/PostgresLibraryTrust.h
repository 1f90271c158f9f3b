#pragma once

class PostgresSession;

// On a server, names in a statement resolve through the search path, and a function or
// operator that someone else created there with argument types that fit better than the
// built-in one runs instead, as the user who sent the statement. So a session keeps its
// library's schema alone on its path (with the built-ins first), and a library is used only
// when nobody the user does not trust can put anything into that schema or owns what the
// program relies on in it.
namespace PostgresLibraryTrust {

// Finds the library's schema (the one its table Speeches is in, or for a library still to be
// made the first schema on the user's path), refuses it with EDatabaseError saying what and
// how to mend it when it is not safe to use, and makes it the session's whole search path.
void secure(PostgresSession &session);

// Run first in each transaction: refuses with EDatabaseError when, since the library was
// opened, a role the user does not trust was given a right on its tables that runs code as the
// writer (TRIGGER) or put a trigger of its own on them, before any statement could fire it.
void checkBeforeWrite(PostgresSession &session);

} // namespace PostgresLibraryTrust
