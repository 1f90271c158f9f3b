#pragma once

#include <QString>
#include <QVariant>
#include <memory>

class Database;
class DatabaseStatement;

// One prepared statement on an open database, let go when it goes. Values are bound, never
// pasted into the text, and every failure raises EDatabaseError with the engine's message.
class Statement
{
public:
    Statement(Database *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value); // index counts from 1
    void bindAll(const QVariantList &values);
    bool step();  // true while a row is ready
    void reset(); // ready to run again, bindings cleared
    void execute(const QVariantList &values); // bind, run to the end, reset

    int columnCount() const;
    QString columnName(int column) const;
    qint64 columnInt64(int column) const;
    QVariant columnValue(int column) const;
    QVariant columnStoredValue(int column) const; // see DatabaseStatement
    // Rows the last run of an INSERT, UPDATE or DELETE changed.
    qint64 changes() const;

private:
    std::unique_ptr<DatabaseStatement> m_statement;
};
