#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A throwaway PostgreSQL server for one test run: a cluster in a temporary folder that
// listens only on a Unix socket there, run as the unprivileged user 'nobody' when the tests
// run as root (the server refuses root). Stopped and removed when the fixture goes.
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // Empty when the server's programs are installed; otherwise why the tests cannot run.
    static QString missingReason();

    // Whether a committed write waits until it is on the disk, as on a server people use;
    // tests run faster without.
    enum class Writes { Unsynced, Durable };

    // Starts the server; false with error() telling why.
    bool start(Writes writes = Writes::Unsynced);
    QString error() const { return m_error; }

    // Creates an empty database and returns the keyword string that reaches it.
    QString createDatabase(const QString &name);
    QString socketFolder() const { return m_dir.path(); }
    static QString user() { return QStringLiteral("tinlark"); }

private:
    bool run(const QString &program, const QStringList &arguments);
    QStringList asServerUser(const QString &program) const;
    void watchForCrash();

    QTemporaryDir m_dir;
    // Stops the server and removes its folder when this process ends without doing so itself.
    QProcess m_watchdog;
    bool m_started = false;
    QString m_error;
};
