#pragma once

#include "BatchedJob.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct SqlCommand;
class WordIndex;

// One prepared statement of a database engine. The text uses '?' for each value; values are
// bound (index counts from 1), never pasted into the text. Every failure raises
// EDatabaseError with a message for the user.
class DatabaseStatement
{
public:
    virtual ~DatabaseStatement() = default;

    virtual void bind(int index, const QVariant &value) = 0;
    virtual bool step() = 0;  // true while a row is ready
    virtual void reset() = 0; // ready to run again, bindings cleared
    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // A null QVariant for NULL, qint64 for integers, double for other numbers, QString for text.
    virtual QVariant columnValue(int column) const = 0;
    // The value as it is stored, for comparing it later: like columnValue, but the raw bytes
    // (QByteArray) of a text that decoding would change (not valid UTF-8) or of a BLOB.
    virtual QVariant columnStoredValue(int column) const { return columnValue(column); }
    // Rows the last run of an INSERT, UPDATE or DELETE changed.
    virtual qint64 changes() const = 0;
};

// A column of a table as the engine declares it.
struct TableColumn
{
    QString name;
    int declaredSize = 0; // characters of a sized text column (VARCHAR(50)); 0 otherwise
};

// A change another program stored: the table, "insert", "update" or "delete", and the key
// of the row when one row changed (none when several did).
struct DatabaseChange
{
    QString table;
    QString kind;
    std::optional<qint64> key;
};

// An open database of one engine (a SQLite file or a PostgreSQL server): the one seam under
// the record sets. Statements are written once in the common dialect: double-quoted names,
// '?' for values, "SELECT ... FROM (subquery) AS alias", INSERT ... RETURNING; where the
// engines differ, the database supplies the piece of text.
class Database
{
public:
    virtual ~Database() = default;

    virtual std::unique_ptr<DatabaseStatement> prepare(const QString &sql) = 0;

    // One write transaction: begin waits for other writers as long as the engine allows.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

    virtual QList<TableColumn> tableColumns(const QString &table) = 0;

    // "<column> IS ?" where NULL equals NULL, for the column's quoted name.
    virtual QString sameValueCondition(const QString &quotedColumn) const = 0;
    // The same for raw stored bytes (a QByteArray from columnStoredValue), compared byte for byte.
    virtual QString sameBytesCondition(const QString &quotedColumn) const { return sameValueCondition(quotedColumn); }
    // What follows an ORDER BY term so that text sorts as a reader expects (ICU root order).
    virtual QString textOrderClause() const = 0;

    // The keys, ascending, of the rows the program's keyword search command selects, found
    // through an index; none when the command is not that search or the index cannot answer
    // (the record set then runs the command itself).
    virtual std::optional<std::vector<qint64>> findKeywords(const SqlCommand &command) = 0;

    // Work the database has left to do in the background (an index to build, in batches),
    // for a BatchedJobRunner; none when there is nothing to do.
    virtual std::unique_ptr<BatchedJob> backgroundWork() { return {}; }

    // The statement that counts one copy to the clipboard of the speech bound to its one '?',
    // stamped with the engine's clock.
    virtual QString noteCopyCommand() = 0;

    // The index of the speeches' words; none where the engine keeps none.
    virtual WordIndex *wordIndex() { return nullptr; }

    // Why this database cannot be written, for the user; empty when it can.
    virtual QString readOnlyReason() const = 0;
    // The file or the server, for messages; never a password.
    virtual QString describe() const = 0;

    // Tells told, from the event loop of the calling thread, of each change that other
    // programs store from now on, as soon as they store it. A database that cannot tell
    // (a file) never calls it: its changes are seen at the next read.
    virtual void watchChanges(std::function<void(const DatabaseChange &)> told) { (void)told; }
};

// Opens the database a connection string's Data Source names: a PostgreSQL connection URI
// (postgresql://...) or keyword string (host=... dbname=...) reaches a server, anything else
// is a SQLite file that must exist. onBusy is told when a statement has waited a moment for
// another program that holds the database. Raises EDatabaseError when it cannot be opened.
std::unique_ptr<Database> openDatabase(const QString &dataSource, std::function<void()> onBusy);
