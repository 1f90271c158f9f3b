#pragma once

#include "Database.h"
#include "PostgresResult.h"
#include "PostgresSession.h"

// One statement prepared on the server under a name of its own; prepared again when the
// connection had to be made anew. Values travel as text and the server reads them as the
// types it inferred for their places; the rows of a run come back at once and step() walks them.
class PostgresStatement : public DatabaseStatement
{
public:
    PostgresStatement(PostgresSession &session, const QString &sql);
    ~PostgresStatement() override;

    void bind(int index, const QVariant &value) override;
    bool step() override;
    void reset() override;
    int columnCount() const override;
    QString columnName(int column) const override;
    QVariant columnValue(int column) const override;
    qint64 changes() const override;

private:
    void prepareOnServer();
    const PGresult *columns() const;

    PostgresSession &m_session;
    QByteArray m_sql;
    QByteArray m_name;
    quint64 m_preparedGeneration = 0;
    PostgresResult m_description; // the columns before the first run
    PostgresSession::Values m_values;
    PostgresResult m_result;
    int m_row = -1;
    qint64 m_changes = 0;
};
