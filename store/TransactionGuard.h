#pragma once

struct sqlite3;

// Runs one write as one transaction: begun on construction, rolled back on destruction
// unless commit() was called, so that a refused write leaves the file as it was. The keyword
// index takes in the speeches the write changed just before it is committed.
class TransactionGuard
{
public:
    explicit TransactionGuard(sqlite3 *db);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;

    void commit();

private:
    sqlite3 *m_db;
    bool m_open = true;
};
