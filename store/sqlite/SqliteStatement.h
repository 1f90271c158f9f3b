#pragma once

#include "Database.h"

#include <QString>
#include <QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQLite statement, finalized when it goes. Values are bound, never pasted
// into the text, and every failure raises EDatabaseError with SQLite's message.
class SqliteStatement : public DatabaseStatement
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql);

    void bind(int index, const QVariant &value) override; // index counts from 1
    void bindAll(const QVariantList &values);
    // A pointer for a function of this program, told apart from other pointers by its type name.
    void bindPointer(int index, void *pointer, const char *type);
    bool step() override;  // true while a row is ready
    void reset() override; // ready to run again, bindings cleared
    void execute(const QVariantList &values); // bind, run to the end, reset

    int columnCount() const override;
    QString columnName(int column) const override;
    qint64 columnInt64(int column) const;
    QVariant columnValue(int column) const override;
    QVariant columnStoredValue(int column) const override;
    bool columnIsNull(int column) const;
    bool columnIsInteger(int column) const;
    qint64 changes() const override;
    // The column as SQLite's UTF-8 text, byte for byte, as SQL functions see it.
    QByteArray columnUtf8(int column) const;

private:
    struct Finalizer
    {
        void operator()(sqlite3_stmt *statement) const;
    };

    [[noreturn]] void fail(const QString &what) const;

    sqlite3 *m_db;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};
