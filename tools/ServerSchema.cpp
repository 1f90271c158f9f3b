#include "ServerSchema.h"

#include "EDatabaseError.h"
#include "ServerDataSource.h"
#include "ServerTables.h"

namespace ServerSchema {

int makeCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    // The argument itself is never echoed: it may hold a password.
    if (arguments.size() != 1 || !isServerDataSource(arguments[0])) {
        err << "tinlark-makedb: --server takes a PostgreSQL connection URI (postgresql://user@host/dbname) or keyword "
               "string (host=... dbname=...), not a file\n";
        return 2;
    }
    try {
        const QString server = createServerTables(arguments[0]);
        out << "Created the tables Taal and Speeches and the keyword index on the " << server << "\n";
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}

} // namespace ServerSchema
