#include "Connection.h"

#include "ConnectionString.h"
#include "Database.h"
#include "EDatabaseError.h"
#include "RecordSet.h"
#include "Statement.h"

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
    const QString dataSource = ConnectionString::dataSource(m_connectionString);
    if (dataSource.isEmpty())
        throw EDatabaseError(QStringLiteral("The connection string names no Data Source"));
    // The database tells this connection of a wait, so that listeners may connect at any time.
    m_db = openDatabase(dataSource, [this] { emit onBusy(); });
}

QString Connection::readOnlyReason() const
{
    return m_db ? m_db->readOnlyReason() : QString();
}

void Connection::watchChanges(std::function<void(const DatabaseChange &)> told)
{
    handle()->watchChanges(std::move(told));
}

void Connection::close()
{
    if (!m_db)
        return;
    const QList<RecordSet *> recordSets = m_recordSets;
    for (RecordSet *recordSet : recordSets)
        recordSet->closeForConnection();
    m_db.reset();
}

Database *Connection::handle()
{
    open();
    return m_db.get();
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
