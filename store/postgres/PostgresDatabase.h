#pragma once

#include "Database.h"
#include "PostgresSession.h"
#include "PostgresWordIndex.h"

class PostgresChangeListener;

// A speech library on a PostgreSQL server, shared by everyone who connects to it.
class PostgresDatabase : public Database
{
public:
    // Raises EDatabaseError naming the server, never the password, when it cannot connect.
    PostgresDatabase(const QString &dataSource, std::function<void()> onBusy);

    std::unique_ptr<DatabaseStatement> prepare(const QString &sql) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    QList<TableColumn> tableColumns(const QString &table) override;
    QString sameValueCondition(const QString &quotedColumn) const override;
    QString textOrderClause() const override;
    QString noteCopyCommand() override;
    std::optional<std::vector<qint64>> findKeywords(const SqlCommand &command) override;
    QString readOnlyReason() const override;
    QString describe() const override;
    WordIndex *wordIndex() override { return &m_wordIndex; }
    void watchChanges(std::function<void(const DatabaseChange &)> told) override;
    ~PostgresDatabase() override;

    PostgresSession &session() { return m_session; }

private:
    QString m_dataSource;
    PostgresSession m_session;
    std::unique_ptr<PostgresChangeListener> m_listener;
    QString m_readOnlyReason; // the rights the server withholds, as the library was opened
    // The connection the open transaction began on; none outside a transaction.
    std::optional<quint64> m_transactionGeneration;
    PostgresWordIndex m_wordIndex{*this};
};

// The database on the server a connection URI or keyword string names.
std::unique_ptr<Database> openPostgresDatabase(const QString &dataSource, std::function<void()> onBusy);
