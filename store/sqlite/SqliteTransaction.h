#pragma once

struct sqlite3;

// One write to a SQLite file as one transaction: begun on construction, rolled back on
// destruction unless commit() was called, so that a refused write leaves the file as it
// was. The keyword index takes in the speeches the write changed just before it is committed.
class SqliteTransaction
{
public:
    explicit SqliteTransaction(sqlite3 *db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction &) = delete;
    SqliteTransaction &operator=(const SqliteTransaction &) = delete;

    void commit();

    // The steps on their own, for a database that keeps its transaction open across calls.
    static void begin(sqlite3 *db);
    static void commit(sqlite3 *db);
    static void rollback(sqlite3 *db) noexcept;

private:
    sqlite3 *m_db;
    bool m_open = true;
};
