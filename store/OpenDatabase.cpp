#include "Database.h"

#include "EDatabaseError.h"
#include "PostgresDatabase.h"
#include "ServerDataSource.h"
#include "SqliteDatabase.h"

std::unique_ptr<Database> openDatabase(const QString &dataSource, std::function<void()> onBusy)
{
    if (isServerDataSource(dataSource))
        return openPostgresDatabase(dataSource, std::move(onBusy));
    // Named neither here nor in a file name: it may hold a password.
    if (looksLikeServerDataSource(dataSource))
        throw EDatabaseError(unreadableServerDataSource());
    return std::make_unique<SqliteDatabase>(dataSource, std::move(onBusy));
}
