#include "Connection.h"

#include "ConnectionString.h"
#include "DatabaseErrorText.h"
#include "EDatabaseError.h"
#include "KeywordIndex.h"
#include "LikeFunction.h"
#include "TextCollation.h"
#include "RecordSet.h"
#include "Statement.h"
#include "WriteAccess.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

// How long the busy handler sleeps between two tries.
constexpr int BusyPollMs = 20;

void execute(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(databaseErrorText(db));
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
            throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": %2").arg(path, databaseErrorText(db)));
        // The file comes from outside: its schema may not run functions with side effects,
        // and nothing may write to the file except through ordinary statements.
        sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_busy_handler(db, &Connection::busyHandler, this);
        execute(db, "PRAGMA synchronous=FULL");
        // Reading the schema now tells a file that is no database from one that is.
        execute(db, "SELECT count(*) FROM sqlite_master");
        registerLikeFunction(db);
        TextCollation::install(db);
        // A file from an earlier build gets its keyword index now; one that cannot be
        // written is searched without it.
        KeywordIndex::ensure(db);
    } catch (const EDatabaseError &error) {
        sqlite3_close_v2(db);
        if (error.message().contains(path))
            throw;
        throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": %2").arg(path, error.message()));
    }
    m_db = db;
    m_readOnlyReason = whyDatabaseNotWritable(path, sqlite3_db_readonly(db, "main") == 1);
}

// Waits for another program that holds the file, telling onBusy when the wait begins, and
// gives up after the busy timeout.
int Connection::busyHandler(void *connection, int attempts)
{
    auto *self = static_cast<Connection *>(connection);
    if (attempts == 0) {
        self->m_busySince.start();
        try {
            if (self->onBusy)
                self->onBusy();
        } catch (...) {
            // Only a sign of the wait: nothing may unwind through SQLite.
        }
    }
    if (self->m_busySince.elapsed() >= DatabaseBusyTimeoutMs)
        return 0;
    sqlite3_sleep(BusyPollMs);
    return 1;
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
    m_readOnlyReason.clear();
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
