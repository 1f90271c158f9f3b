#include "Connection.h"

#include "ConnectionString.h"
#include "EDatabaseError.h"
#include "KeywordIndex.h"
#include "LikeFunction.h"
#include "RecordSet.h"
#include "Statement.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

constexpr int BusyTimeoutMs = 5000;

void execute(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::setConnectionString(const QString &connectionString)
{
    if (connected())
        throw EDatabaseError(QStringLiteral("Cannot change the connection string of an open connection"));
    m_connectionString = connectionString;
}

void Connection::open()
{
    if (connected())
        return;
    const QString path = ConnectionString::dataSource(m_connectionString);
    if (path.isEmpty())
        throw EDatabaseError(QStringLiteral("The connection string names no Data Source"));
    if (!QFileInfo(path).isFile())
        throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": no such file").arg(path));

    sqlite3 *db = nullptr;
    // Read-write without create: the program never makes a database file.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": %2")
                                     .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory")));
        // The file comes from outside: its schema may not run functions with side effects,
        // and nothing may write to the file except through ordinary statements.
        sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_busy_timeout(db, BusyTimeoutMs);
        execute(db, "PRAGMA synchronous=FULL");
        // Reading the schema now tells a file that is no database from one that is.
        execute(db, "SELECT count(*) FROM sqlite_master");
        registerLikeFunction(db);
        // A file from an earlier build gets its keyword index now; one that cannot be
        // written is searched without it.
        KeywordIndex::ensure(db);
    } catch (const EDatabaseError &error) {
        sqlite3_close_v2(db);
        if (error.message().startsWith(QLatin1String("Cannot open")))
            throw;
        throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": %2").arg(path, error.message()));
    }
    m_db = db;
}

void Connection::close()
{
    if (!m_db)
        return;
    const QList<RecordSet *> recordSets = m_recordSets;
    for (RecordSet *recordSet : recordSets)
        recordSet->closeForConnection();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

sqlite3 *Connection::handle()
{
    open();
    return m_db;
}

QVariant Connection::scalar(const QString &sql, const QVariantList &values)
{
    Statement statement(handle(), sql);
    statement.bindAll(values);
    return statement.step() ? statement.columnValue(0) : QVariant();
}

void Connection::attach(RecordSet *recordSet)
{
    if (!m_recordSets.contains(recordSet))
        m_recordSets.append(recordSet);
}

void Connection::detach(RecordSet *recordSet)
{
    m_recordSets.removeAll(recordSet);
}
