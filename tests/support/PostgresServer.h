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

    // Whether the server listens only on its socket, or also on 127.0.0.1 for connections over
    // TLS with a self-signed certificate for the name localhost and a password (SCRAM).
    enum class Network { SocketOnly, TlsOnLocalhost };

    // Starts the server; false with error() telling why.
    bool start(Writes writes = Writes::Unsynced, Network network = Network::SocketOnly);
    QString error() const { return m_error; }

    // Creates an empty database and returns the keyword string that reaches it.
    QString createDatabase(const QString &name);
    QString socketFolder() const { return m_dir.path(); }
    // With TLS: the port on 127.0.0.1, the certificate a client must trust, the user's password.
    int tcpPort() const { return m_port; }
    QString certificate() const { return m_dir.filePath(QStringLiteral("server.crt")); }
    static QString password() { return QStringLiteral("S3cret-over-TLS"); }
    static QString user() { return QStringLiteral("tinlark"); }

private:
    bool run(const QString &program, const QStringList &arguments);
    QStringList asServerUser(const QString &program) const;
    void watchForCrash();

    QTemporaryDir m_dir;
    // Stops the server and removes its folder when this process ends without doing so itself.
    QProcess m_watchdog;
    bool makeCertificate();
    bool m_started = false;
    int m_port = 0;
    QString m_error;
};
