#include "SpeechTables.h"

#include "Connection.h"
#include "Database.h"
#include "EDatabaseError.h"

void requireSpeechTables(Connection &connection, const QString &path)
{
    for (const QString &table : {QStringLiteral("Speeches"), QStringLiteral("Taal")}) {
        if (connection.handle()->tableColumns(table).isEmpty())
            throw EDatabaseError(QStringLiteral("The file %1 is not a speech database: it has no table %2. Put a "
                                                "speech database there (tinlark-makedb makes one), or name another "
                                                "file under [Hacks] Database in Tinlark.ini")
                                     .arg(path, table));
    }
}
