#include "Database.h"

#include "EDatabaseError.h"
#include "ServerDataSource.h"
#include "SqliteDatabase.h"

std::unique_ptr<Database> openDatabase(const QString &dataSource, std::function<void()> onBusy)
{
    if (isServerDataSource(dataSource)) {
        // The PostgreSQL engine opens a server's data source here.
        throw EDatabaseError(QStringLiteral("This build cannot reach a PostgreSQL server"));
    }
    return std::make_unique<SqliteDatabase>(dataSource, std::move(onBusy));
}
