#include "SqliteScript.h"

#include "EDatabaseError.h"

#include <QString>
#include <sqlite3.h>

void runSqliteScript(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        throw EDatabaseError(message);
    }
}
