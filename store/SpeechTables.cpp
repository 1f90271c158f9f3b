#include "SpeechTables.h"

#include "Connection.h"
#include "Database.h"
#include "EDatabaseError.h"
#include "ServerDataSource.h"

void requireSpeechTables(Connection &connection, const QString &path)
{
    for (const QString &table : {QStringLiteral("Speeches"), QStringLiteral("Taal")}) {
        if (!connection.handle()->tableColumns(table).isEmpty())
            continue;
        // A server's connection string may hold a password: the database names itself.
        if (isServerDataSource(path))
            throw EDatabaseError(QStringLiteral("The database on the %1 is not a speech database: it has no table %2. "
                                                "tinlark-makedb --server makes the tables")
                                     .arg(connection.handle()->describe(), table));
        throw EDatabaseError(QStringLiteral("The file %1 is not a speech database: it has no table %2. Put a "
                                            "speech database there (tinlark-makedb makes one), or name another "
                                            "file under [Hacks] Database in Tinlark.ini")
                                 .arg(path, table));
    }
}

bool hasSpeechTables(Database &database)
{
    return !database.tableColumns(QStringLiteral("Taal")).isEmpty()
           || !database.tableColumns(QStringLiteral("Speeches")).isEmpty();
}
