#include "SqliteTransaction.h"

#include "DatabaseErrorText.h"
#include "EDatabaseError.h"
#include "KeywordIndex.h"
#include "SqliteWordIndex.h"

#include <sqlite3.h>

namespace {

void run(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(databaseErrorText(db));
}

} // namespace

SqliteTransaction::SqliteTransaction(sqlite3 *db) : m_db(db)
{
    begin(m_db);
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_open)
        rollback(m_db);
}

void SqliteTransaction::commit()
{
    commit(m_db);
    m_open = false;
}

void SqliteTransaction::begin(sqlite3 *db)
{
    // IMMEDIATE takes the write lock at once, so a second program waits here (busy
    // timeout) rather than failing half-way through the write.
    run(db, "BEGIN IMMEDIATE");
}

void SqliteTransaction::commit(sqlite3 *db)
{
    // The keyword and word indexes take in the speeches this write changed, so that they are
    // stored together or not at all.
    KeywordIndex::catchUp(db);
    SqliteWordIndex::catchUp(db);
    run(db, "COMMIT");
}

void SqliteTransaction::rollback(sqlite3 *db) noexcept
{
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}
