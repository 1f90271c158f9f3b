#include "PostgresServer.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString BinFolder = QStringLiteral("/usr/lib/postgresql/15/bin/");
constexpr uid_t Nobody = 65534;

QString binary(const char *name)
{
    return BinFolder + QLatin1String(name);
}

// A port on 127.0.0.1 that nothing listens on right now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), size) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

} // namespace

PostgresServer::PostgresServer()
{
    // The server, run as 'nobody', must be able to reach its folder.
    if (::geteuid() == 0 && ::chown(QFile::encodeName(m_dir.path()).constData(), Nobody, Nobody) != 0)
        m_error = QStringLiteral("Cannot hand %1 to the user nobody").arg(m_dir.path());
}

PostgresServer::~PostgresServer()
{
    if (m_watchdog.state() != QProcess::NotRunning) {
        m_watchdog.closeWriteChannel();
        m_watchdog.waitForFinished(60000);
    } else if (m_started) {
        run(binary("pg_ctl"), {QStringLiteral("stop"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
                               QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w")});
    }
}

QString PostgresServer::missingReason()
{
    for (const char *name : {"initdb", "pg_ctl", "postgres"}) {
        if (!QFileInfo(binary(name)).isExecutable())
            return QStringLiteral("%1 is not installed (scripts/install-deps.sh installs postgresql-15)").arg(binary(name));
    }
    if (::geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        return QStringLiteral("setpriv is not installed (util-linux)");
    return QString();
}

QStringList PostgresServer::asServerUser(const QString &program) const
{
    if (::geteuid() != 0)
        return {program};
    return {QStandardPaths::findExecutable(QStringLiteral("setpriv")), QStringLiteral("--reuid=%1").arg(Nobody),
            QStringLiteral("--regid=%1").arg(Nobody), QStringLiteral("--clear-groups"), program};
}

void PostgresServer::watchForCrash()
{
    // The watchdog waits for the end of its input, which comes when this process ends however
    // it ends; a fixture that ends in order stops the server first.
    const QStringList stop = asServerUser(binary("pg_ctl"))
                             + QStringList{QStringLiteral("stop"), QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")),
                                           QStringLiteral("-m"), QStringLiteral("immediate")};
    m_watchdog.setProcessChannelMode(QProcess::ForwardedChannels);
    m_watchdog.setProgram(QStringLiteral("/bin/sh"));
    m_watchdog.setArguments({QStringLiteral("-c"), QStringLiteral("cat >/dev/null; \"$@\" >/dev/null 2>&1; rm -rf \"$0\""),
                             m_dir.path()});
    m_watchdog.setArguments(m_watchdog.arguments() + stop);
    m_watchdog.start();
    m_watchdog.waitForStarted();
}

bool PostgresServer::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = asServerUser(program) + arguments;
    process.start(command.takeFirst(), command);
    if (!process.waitForStarted() || !process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool PostgresServer::makeCertificate()
{
    // Made as the server's user, so that the key is its own and private to it.
    return run(QStandardPaths::findExecutable(QStringLiteral("openssl")),
               {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                QStringLiteral("/CN=localhost"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=DNS:localhost"),
                QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("server.key")), QStringLiteral("-out"),
                certificate()});
}

bool PostgresServer::start(Writes writes, Network network)
{
    if (!m_error.isEmpty())
        return false;
    const QString data = m_dir.filePath(QStringLiteral("data"));
    // Over TCP only with a password, which a SCRAM exchange can bind to the TLS channel.
    if (!run(binary("initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), user(), QStringLiteral("--auth-local=trust"),
                                QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")}))
        return false;
    QString options = QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -c fsync=%2")
                          .arg(m_dir.path(), writes == Writes::Durable ? QStringLiteral("on") : QStringLiteral("off"));
    if (network == Network::TlsOnLocalhost) {
        m_port = freePort();
        if (m_port == 0 || !makeCertificate())
            return false;
        options += QStringLiteral(" -c listen_addresses=127.0.0.1 -c port=%1 -c ssl=on -c ssl_cert_file='%2' "
                                  "-c ssl_key_file='%3'")
                       .arg(m_port)
                       .arg(certificate(), m_dir.filePath(QStringLiteral("server.key")));
    }
    watchForCrash();
    // Without TLS, no TCP at all: the socket in the folder is the only way in.
    m_started = run(binary("pg_ctl"), {QStringLiteral("start"), QStringLiteral("-D"), data, QStringLiteral("-w"),
                                       QStringLiteral("-l"), m_dir.filePath(QStringLiteral("server.log")),
                                       QStringLiteral("-o"), options});
    if (m_started && network == Network::TlsOnLocalhost)
        m_started = run(binary("psql"), {QStringLiteral("-h"), m_dir.path(), QStringLiteral("-p"), QString::number(m_port),
                                         QStringLiteral("-U"), user(), QStringLiteral("-d"), QStringLiteral("postgres"),
                                         QStringLiteral("-c"),
                                         QStringLiteral("ALTER ROLE %1 PASSWORD '%2'").arg(user(), password())});
    return m_started;
}

QString PostgresServer::createDatabase(const QString &name)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString port = QString::number(m_port == 0 ? 5432 : m_port);
    process.start(binary("createdb"), {QStringLiteral("-h"), m_dir.path(), QStringLiteral("-p"), port, QStringLiteral("-U"), user(), name});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        m_error = QString::fromLocal8Bit(process.readAll());
        return QString();
    }
    return QStringLiteral("host=%1 dbname=%2 user=%3").arg(m_dir.path(), name, user())
           + (m_port == 0 ? QString() : QStringLiteral(" port=") + port);
}
