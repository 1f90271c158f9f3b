#pragma once

#include "Database.h"
#include "WordIndex.h"

#include <QElapsedTimer>

struct sqlite3;

// A SQLite database file. It opens an existing file for reading and writing (never creates
// one), trusts nothing its schema holds, stores each commit durably, and waits several
// seconds for another program that holds the file before it gives up.
class SqliteDatabase : public Database
{
public:
    // Raises EDatabaseError, naming the file, when it cannot be opened as a speech database.
    SqliteDatabase(const QString &path, std::function<void()> onBusy);
    ~SqliteDatabase() override;
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    std::unique_ptr<DatabaseStatement> prepare(const QString &sql) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    QList<TableColumn> tableColumns(const QString &table) override;
    QString sameValueCondition(const QString &quotedColumn) const override;
    QString sameBytesCondition(const QString &quotedColumn) const override;
    QString textOrderClause() const override;
    QString noteCopyCommand() override;
    std::optional<std::vector<qint64>> findKeywords(const SqlCommand &command) override;
    std::unique_ptr<BatchedJob> backgroundWork() override;
    QString readOnlyReason() const override { return m_readOnlyReason; }
    QString describe() const override { return m_path; }
    WordIndex *wordIndex() override { return m_wordIndex.get(); }

    // The open file, for the SQLite-only parts of the store.
    sqlite3 *handle() const { return m_db; }

    // The size of a text column declared as VARCHAR(50), TEXT(50) and the like; 0 otherwise.
    static int declaredSize(const QString &declaredType);

private:
    static int busyHandler(void *database, int attempts);
    void execute(const char *sql);

    QString m_path;
    std::function<void()> m_onBusy;
    sqlite3 *m_db = nullptr;
    QString m_readOnlyReason;
    QElapsedTimer m_busySince;
    std::unique_ptr<WordIndex> m_wordIndex;
};
