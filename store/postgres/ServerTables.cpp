#include "ServerTables.h"

#include "EDatabaseError.h"
#include "PostgresDatabase.h"
#include "PostgresSchema.h"
#include "SpeechTables.h"

QString createServerTables(const QString &dataSource)
{
    PostgresDatabase database(dataSource, nullptr);
    if (hasSpeechTables(database))
        throw EDatabaseError(
            QStringLiteral("The database on the %1 already has speech tables; it is left as it is").arg(database.describe()));
    PostgresSchema::create(database);
    return database.describe();
}
