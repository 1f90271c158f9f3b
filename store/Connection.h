#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class Database;
class RecordSet;
struct DatabaseChange;

// The one connection to a database. It opens the database named by the connection string's
// "Data Source" item (see openDatabase), never creates one, and waits several seconds for
// another program that holds it before it gives up.
class Connection : public QObject
{
    Q_OBJECT

public:
    Connection();
    ~Connection() override;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setConnectionString(const QString &connectionString); // only while not connected
    const QString &connectionString() const { return m_connectionString; }

    void open(); // raises EDatabaseError when the file cannot be opened as a database
    void close(); // closes the record sets on it first
    bool connected() const { return m_db != nullptr; }
    // Why the open database cannot be written, for the user; empty when it can.
    QString readOnlyReason() const;

    // Tells told of each change other programs store in the open database from now on, where
    // the database can tell (see Database::watchChanges); connects first when needed.
    void watchChanges(std::function<void(const DatabaseChange &)> told);

    // The open database, connecting first when needed.
    Database *handle();

    // Runs a query with its values bound and returns the first column of its first row
    // (null when there is no row); counts and other single answers.
    QVariant scalar(const QString &sql, const QVariantList &values = {});

signals:
    // When a statement starts to wait for another program that holds the database, so that
    // the window can show that it waits.
    void onBusy();

private:
    friend class RecordSet;
    void attach(RecordSet *recordSet);
    void detach(RecordSet *recordSet);

    QString m_connectionString;
    std::unique_ptr<Database> m_db;
    QList<RecordSet *> m_recordSets;
};
