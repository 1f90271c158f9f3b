#include "TransactionGuard.h"

#include "DatabaseErrorText.h"
#include "EDatabaseError.h"
#include "KeywordIndex.h"

#include <sqlite3.h>

namespace {

void run(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(databaseErrorText(db));
}

} // namespace

TransactionGuard::TransactionGuard(sqlite3 *db) : m_db(db)
{
    // IMMEDIATE takes the write lock at once, so a second program waits here (busy
    // timeout) rather than failing half-way through the write.
    run(m_db, "BEGIN IMMEDIATE");
}

TransactionGuard::~TransactionGuard()
{
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void TransactionGuard::commit()
{
    // The keyword index takes in the speeches this write changed, so that both are stored
    // together or not at all.
    KeywordIndex::catchUp(m_db);
    run(m_db, "COMMIT");
    m_open = false;
}
