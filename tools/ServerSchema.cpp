#include "ServerSchema.h"

#include "EDatabaseError.h"
#include "PostgresDatabase.h"
#include "PostgresSchema.h"
#include "ServerDataSource.h"

namespace ServerSchema {

bool hasSpeechTables(Database &database)
{
    return !database.tableColumns(QStringLiteral("Taal")).isEmpty()
           || !database.tableColumns(QStringLiteral("Speeches")).isEmpty();
}

int makeCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    // The argument itself is never echoed: it may hold a password.
    if (arguments.size() != 1 || !isServerDataSource(arguments[0])) {
        err << "tinlark-makedb: --server takes a PostgreSQL connection URI (postgresql://user@host/dbname) or keyword "
               "string (host=... dbname=...), not a file\n";
        return 2;
    }
    try {
        PostgresDatabase database(arguments[0], nullptr);
        if (hasSpeechTables(database))
            throw EDatabaseError(
                QStringLiteral("The database on the %1 already has speech tables; it is left as it is").arg(database.describe()));
        PostgresSchema::create(database);
        out << "Created the tables Taal and Speeches and the keyword index on the " << database.describe() << "\n";
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}

} // namespace ServerSchema
