#pragma once

#include "PostgresResult.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// One connection to a PostgreSQL server, opened on a connection URI or keyword string as
// the user wrote it; libpq finds the password (the string itself, PGPASSWORD, ~/.pgpass).
// A connection that was lost raises an error for the statement that found it out; the next
// use connects again, and generation() tells everyone who held something of the old one.
class PostgresSession
{
public:
    using Values = std::vector<std::optional<QByteArray>>; // text form; none for NULL

    // Raises EDatabaseError naming the server, never the password, when it cannot connect.
    // askedPassword: one the user already gave for this server (see ServerPassword).
    PostgresSession(const QString &dataSource, std::function<void()> onBusy,
                    std::optional<QByteArray> askedPassword = std::nullopt);
    ~PostgresSession();
    PostgresSession(const PostgresSession &) = delete;
    PostgresSession &operator=(const PostgresSession &) = delete;

    // host:port/dbname as user
    QString describe() const;
    // Counts the connections made; statements prepared on an earlier one are gone.
    quint64 generation() const { return m_generation; }
    PGTransactionStatusType transactionStatus() const;
    // Connects again when the connection was lost; raises EDatabaseError when that fails.
    void reconnectIfLost() { connection(); }

    PostgresResult execute(const QByteArray &sql);
    PostgresResult execute(const QByteArray &sql, const Values &values);
    // Runs a query whose rows are handed to eachRow one at a time as they arrive (a result of
    // one row each), so that no result of it is ever held whole; eachRow must not throw.
    void executeRowByRow(const QByteArray &sql, const Values &values, const std::function<void(const PGresult *)> &eachRow);
    // Runs a query whose columns come back in the server's binary form (a bigint as 8 bytes,
    // most significant first), which costs neither side any conversion to text.
    PostgresResult executeBinary(const QByteArray &sql, const Values &values);
    PostgresResult prepare(const QByteArray &name, const QByteArray &sql);
    PostgresResult describePrepared(const QByteArray &name);
    PostgresResult executePrepared(const QByteArray &name, const Values &values);
    // Forgets a prepared statement of the current connection; never fails.
    void deallocate(const QByteArray &name, quint64 generation) noexcept;
    QByteArray newStatementName();

    // The password the user gave when asked (or earlier in this run); none when nobody was asked.
    const std::optional<QByteArray> &askedPassword() const { return m_askedPassword; }
    // The server process that serves this session; 0 while not connected.
    int backendPid() const;
    // For a session that listens: its socket (-1 when not connected), and the notifications
    // that arrived on it as (sending server process, channel's payload). False when the
    // connection is lost.
    int socket() const;
    bool takeNotifications(std::vector<std::pair<int, QByteArray>> &notifications);

private:
    PGconn *connection();
    void connect();
    PGconn *connectWith(const std::optional<QByteArray> &password) const;
    // Waits for what send() started and returns its last result; raises EDatabaseError with
    // the server's message, telling a lost connection apart.
    PostgresResult run(const std::function<int(PGconn *)> &send,
                       const std::function<void(const PGresult *)> &eachRow = nullptr);
    QString reason() const; // libpq's last message, without the password
    QString defaultsNote() const; // how to mend a refusal that the program's defaults caused

    QByteArray m_dataSource;
    std::vector<std::pair<QByteArray, QByteArray>> m_defaults; // connection settings put before it
    std::function<void()> m_onBusy;
    PGconn *m_conn = nullptr;
    quint64 m_generation = 0;
    quint64 m_statementNumber = 0;
    QString m_password; // only to keep it out of messages
    std::optional<QByteArray> m_askedPassword;
    QString m_server;
    QString m_passwordKey; // the server as the data source names it, which its password is kept under
};
