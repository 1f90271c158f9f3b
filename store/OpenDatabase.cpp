#include "Database.h"

#include "PostgresDatabase.h"
#include "ServerDataSource.h"
#include "SqliteDatabase.h"

std::unique_ptr<Database> openDatabase(const QString &dataSource, std::function<void()> onBusy)
{
    if (isServerDataSource(dataSource))
        return openPostgresDatabase(dataSource, std::move(onBusy));
    return std::make_unique<SqliteDatabase>(dataSource, std::move(onBusy));
}
