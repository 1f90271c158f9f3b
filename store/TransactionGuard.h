#pragma once

class Database;

// Runs one write as one transaction: begun on construction, rolled back on destruction
// unless commit() was called, so that a refused write leaves the database as it was.
class TransactionGuard
{
public:
    explicit TransactionGuard(Database *db);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;

    void commit();

private:
    Database *m_db;
    bool m_open = true;
};
