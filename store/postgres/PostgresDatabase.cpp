#include "PostgresDatabase.h"

#include "EDatabaseError.h"
#include "KeywordQuery.h"
#include "PostgresChangeListener.h"
#include "PostgresCopyCounts.h"
#include "PostgresKeywordIndex.h"
#include "PostgresLibraryTrust.h"
#include "PostgresStatement.h"
#include "PostgresWriteRights.h"

PostgresDatabase::PostgresDatabase(const QString &dataSource, std::function<void()> onBusy)
    : m_dataSource(dataSource), m_session(dataSource, std::move(onBusy)), m_readOnlyReason(PostgresWriteRights::missing(m_session))
{
}

std::unique_ptr<DatabaseStatement> PostgresDatabase::prepare(const QString &sql)
{
    return std::make_unique<PostgresStatement>(m_session, sql);
}

void PostgresDatabase::begin()
{
    if (m_transactionGeneration)
        throw EDatabaseError(QStringLiteral("A transaction is already open on the %1").arg(describe()));
    m_session.reconnectIfLost();
    m_session.execute("BEGIN ISOLATION LEVEL READ COMMITTED");
    m_transactionGeneration = m_session.generation();
    try {
        PostgresLibraryTrust::checkBeforeWrite(m_session);
    } catch (const EDatabaseError &) {
        rollback();
        throw;
    }
}

void PostgresDatabase::commit()
{
    if (!m_transactionGeneration)
        throw EDatabaseError(QStringLiteral("No transaction is open on the %1").arg(describe()));
    try {
        // A transaction that went with a lost connection is gone: nothing of it was stored.
        if (*m_transactionGeneration != m_session.generation()
            || m_session.transactionStatus() == PQTRANS_UNKNOWN)
            throw EDatabaseError(QStringLiteral("The change was not stored: the connection to the %1 was lost")
                                     .arg(describe()));
        if (m_session.transactionStatus() == PQTRANS_INERROR)
            throw EDatabaseError(QStringLiteral("The change was not stored: a statement of it failed on the %1")
                                     .arg(describe()));
        PostgresKeywordIndex::catchUp(m_session);
        PostgresWordIndex::catchUp(m_session);
        const PostgresResult result = m_session.execute("COMMIT");
        // The server answers a COMMIT of a failed transaction with ROLLBACK, and no error.
        if (qstrcmp(PQcmdStatus(result.get()), "COMMIT") != 0)
            throw EDatabaseError(QStringLiteral("The change was not stored: the %1 rolled it back").arg(describe()));
    } catch (const EDatabaseError &error) {
        rollback();
        if (error.message().startsWith(QLatin1String("The change was not stored")))
            throw;
        throw EDatabaseError(QStringLiteral("The change was not stored: %1").arg(error.message()));
    }
    m_transactionGeneration.reset();
}

void PostgresDatabase::rollback() noexcept
{
    m_transactionGeneration.reset();
    try {
        if (m_session.transactionStatus() == PQTRANS_INTRANS || m_session.transactionStatus() == PQTRANS_INERROR)
            m_session.execute("ROLLBACK");
    } catch (const EDatabaseError &) {
        // A connection that is gone took the transaction with it.
    }
}

QList<TableColumn> PostgresDatabase::tableColumns(const QString &table)
{
    // Read from the catalogue itself: the information schema's view of it takes milliseconds
    // to plan, and a record set asks each time it opens. A sized text column's type modifier
    // is its size plus 4.
    const PostgresResult result = m_session.execute(
        "SELECT a.attname, CASE WHEN a.atttypid OPERATOR(pg_catalog.=) ANY ('{varchar,bpchar}'::pg_catalog.regtype[]) "
        "AND a.atttypmod OPERATOR(pg_catalog.>) 4 THEN a.atttypmod OPERATOR(pg_catalog.-) 4 ELSE 0 END "
        "FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_class c ON c.oid OPERATOR(pg_catalog.=) a.attrelid "
        "WHERE c.relnamespace OPERATOR(pg_catalog.=) pg_catalog.current_schema()::pg_catalog.regnamespace "
        "AND c.relkind OPERATOR(pg_catalog.=) ANY ('{r,v,f,p}'::pg_catalog.\"char\"[]) "
        "AND pg_catalog.lower(c.relname::pg_catalog.text) OPERATOR(pg_catalog.=) pg_catalog.lower($1::pg_catalog.text) "
        "AND a.attnum OPERATOR(pg_catalog.>) 0 AND NOT a.attisdropped ORDER BY a.attnum",
        {table.toUtf8()});
    QList<TableColumn> columns;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        columns.append({QString::fromUtf8(PQgetvalue(result.get(), row, 0)),
                        QByteArray(PQgetvalue(result.get(), row, 1)).toInt()});
    return columns;
}

QString PostgresDatabase::sameValueCondition(const QString &quotedColumn) const
{
    // IS NOT DISTINCT FROM would take whatever '=' the search path finds first. Array equality
    // takes NULLs for equal and the element type's own equality; the value is named once, as
    // it is bound once, and takes the column's type.
    return QStringLiteral("(SELECT s.v[1:1] OPERATOR(pg_catalog.=) s.v[2:2] FROM (SELECT ARRAY[%1, ?]) AS s(v))")
        .arg(quotedColumn);
}

QString PostgresDatabase::textOrderClause() const
{
    // ICU's root collation, the same order as the program's own on a file.
    return QStringLiteral("COLLATE \"und-x-icu\"");
}

QString PostgresDatabase::noteCopyCommand()
{
    return QString::fromLatin1(PostgresCopyCounts::noteCopyCommand(session()));
}

std::optional<std::vector<qint64>> PostgresDatabase::findKeywords(const SqlCommand &command)
{
    const std::optional<KeywordQuery> query = KeywordQuery::recognize(command);
    if (!query)
        return std::nullopt;
    // Speeches changed by a client that did not fold them (another program, a lost
    // connection's autocommit) are taken in first.
    if (PostgresKeywordIndex::hasPending(m_session)) {
        if (m_transactionGeneration) {
            PostgresKeywordIndex::catchUp(m_session);
        } else {
            begin();
            commit();
        }
    }
    return PostgresKeywordIndex::find(m_session, query->pattern, query->languageId);
}

QString PostgresDatabase::readOnlyReason() const
{
    return m_readOnlyReason;
}

PostgresDatabase::~PostgresDatabase() = default;

void PostgresDatabase::watchChanges(std::function<void(const DatabaseChange &)> told)
{
    m_listener.reset();
    m_listener = std::make_unique<PostgresChangeListener>(m_dataSource, m_session, std::move(told));
}

QString PostgresDatabase::describe() const
{
    return m_session.describe();
}

std::unique_ptr<Database> openPostgresDatabase(const QString &dataSource, std::function<void()> onBusy)
{
    return std::make_unique<PostgresDatabase>(dataSource, std::move(onBusy));
}
