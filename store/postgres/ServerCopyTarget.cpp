#include "ServerCopyTarget.h"

#include "EDatabaseError.h"
#include "PostgresDatabase.h"
#include "PostgresSchema.h"
#include "SpeechTables.h"
#include "Statement.h"

ServerCopyTarget::ServerCopyTarget(const QString &dataSource, Schema::TextLimits limits)
    : m_database(std::make_unique<PostgresDatabase>(dataSource, nullptr))
{
    if (!hasSpeechTables(*m_database))
        PostgresSchema::create(*m_database, limits);
    m_database->begin();
    m_open = true;
    // Counted inside the transaction that copies, so that the copy goes only into tables that
    // were empty when it began.
    Statement rows(m_database.get(), QStringLiteral("SELECT (SELECT pg_catalog.count(*) FROM \"Taal\") "
                                                    "OPERATOR(pg_catalog.+) (SELECT pg_catalog.count(*) FROM \"Speeches\")"));
    if (rows.step() && rows.columnInt64(0) > 0) {
        abandon();
        throw EDatabaseError(QStringLiteral("The database on the %1 already holds languages or speeches; it is left as it is")
                                 .arg(describe()));
    }
}

ServerCopyTarget::~ServerCopyTarget()
{
    abandon();
}

Database &ServerCopyTarget::database()
{
    return *m_database;
}

void ServerCopyTarget::continueIds(qint64 lastLanguageId, qint64 lastSpeechId)
{
    PostgresSchema::continueIdsAfterCopy(*m_database, lastLanguageId, lastSpeechId);
}

void ServerCopyTarget::commit()
{
    m_database->commit();
    m_open = false;
}

void ServerCopyTarget::abandon() noexcept
{
    if (m_open)
        m_database->rollback();
    m_open = false;
}

QString ServerCopyTarget::describe() const
{
    return m_database->describe();
}
