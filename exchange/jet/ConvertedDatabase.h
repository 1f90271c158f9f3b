#pragma once

#include "Schema.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

struct sqlite3;
struct JetTableLayout;
class SqliteStatement;

// The program's own database that a Jet file is converted into: written through the
// schema code in one transaction, then read back row by row to check it.
class ConvertedDatabase
{
public:
    // Lays the tables into the empty file at path and begins the one transaction. Messages
    // name the file as shownPath: the name it is written for.
    static ConvertedDatabase create(const QString &path, const QString &shownPath, Schema::TextLimits limits);
    // Opens a converted file to read it back.
    static ConvertedDatabase open(const QString &path, const QString &shownPath);

    ConvertedDatabase(ConvertedDatabase &&) noexcept;
    ~ConvertedDatabase(); // rolls back what was not committed and closes
    ConvertedDatabase(const ConvertedDatabase &) = delete;
    ConvertedDatabase &operator=(const ConvertedDatabase &) = delete;

    // Stores a row with its ID as it is: one value a column of the table's layout.
    void insert(const JetTableLayout &table, const QVariantList &row);
    // New rows are numbered after lastUsed (when it is higher than the highest ID stored),
    // so that an ID the old file gave out and freed again is not given out twice.
    void continueNumbering(const JetTableLayout &table, qint64 lastUsed);
    // Commits and writes the file through to the disk.
    void commit();

    std::optional<QVariantList> row(const JetTableLayout &table, qint64 id);
    qint64 rowCount(const JetTableLayout &table);
    qint64 nextId(const JetTableLayout &table);

private:
    ConvertedDatabase(const QString &path, const QString &shownPath, int flags);
    SqliteStatement &statement(const QString &sql);
    [[noreturn]] void fail(const QString &what) const;

    struct Private;
    std::unique_ptr<Private> d;
};
