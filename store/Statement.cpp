#include "Statement.h"

#include "Database.h"

Statement::Statement(Database *db, const QString &sql) : m_statement(db->prepare(sql))
{
}

Statement::~Statement() = default;

void Statement::bind(int index, const QVariant &value)
{
    m_statement->bind(index, value);
}

void Statement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        m_statement->bind(i + 1, values[i]);
}

bool Statement::step()
{
    return m_statement->step();
}

void Statement::reset()
{
    m_statement->reset();
}

void Statement::execute(const QVariantList &values)
{
    reset();
    bindAll(values);
    while (step()) {
    }
    reset();
}

int Statement::columnCount() const
{
    return m_statement->columnCount();
}

QString Statement::columnName(int column) const
{
    return m_statement->columnName(column);
}

qint64 Statement::columnInt64(int column) const
{
    return m_statement->columnValue(column).toLongLong();
}

QVariant Statement::columnValue(int column) const
{
    return m_statement->columnValue(column);
}

QVariant Statement::columnStoredValue(int column) const
{
    return m_statement->columnStoredValue(column);
}

qint64 Statement::changes() const
{
    return m_statement->changes();
}
