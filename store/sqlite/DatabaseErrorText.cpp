#include "DatabaseErrorText.h"

#include <sqlite3.h>

QString databaseErrorText(sqlite3 *db)
{
    if (!db)
        return QStringLiteral("out of memory");
    const QString sqliteMessage = QString::fromUtf8(sqlite3_errmsg(db));
    const char *fileName = sqlite3_db_filename(db, "main");
    const QString file = fileName && *fileName ? QString::fromUtf8(fileName) : QStringLiteral("(in memory)");
    switch (sqlite3_extended_errcode(db) & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Another program holds the database %1 and kept it locked for %2 seconds. "
                              "Close that program or wait until it is done, then try again")
            .arg(file)
            .arg(DatabaseBusyTimeoutMs / 1000);
    case SQLITE_FULL:
        return QStringLiteral("The disk that holds the database %1 is full: nothing was stored. "
                              "Free some space, then try again")
            .arg(file);
    case SQLITE_READONLY:
        return QStringLiteral("The database %1 cannot be written (the file, its folder or its file system is "
                              "read-only): nothing was stored")
            .arg(file);
    case SQLITE_NOTADB:
        return QStringLiteral("The file %1 is not a database. Put a speech database there, or name another "
                              "file under [Hacks] Database in Tinlark.ini")
            .arg(file);
    case SQLITE_CORRUPT:
        return QStringLiteral("The database %1 is damaged (%2). Restore it from a copy").arg(file, sqliteMessage);
    case SQLITE_IOERR:
        return QStringLiteral("The database %1 could not be read or written (%2)").arg(file, sqliteMessage);
    default:
        return sqliteMessage;
    }
}
