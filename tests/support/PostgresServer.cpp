#include "PostgresServer.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <unistd.h>

namespace {

const QString BinFolder = QStringLiteral("/usr/lib/postgresql/15/bin/");
constexpr uid_t Nobody = 65534;

QString binary(const char *name)
{
    return BinFolder + QLatin1String(name);
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

bool PostgresServer::start(Writes writes)
{
    if (!m_error.isEmpty())
        return false;
    const QString data = m_dir.filePath(QStringLiteral("data"));
    if (!run(binary("initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), user(), QStringLiteral("-A"),
                                QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")}))
        return false;
    watchForCrash();
    // No TCP at all: the socket in the folder is the only way in.
    m_started = run(binary("pg_ctl"),
                    {QStringLiteral("start"), QStringLiteral("-D"), data, QStringLiteral("-w"), QStringLiteral("-l"),
                     m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-o"),
                     QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -c fsync=%2")
                         .arg(m_dir.path(), writes == Writes::Durable ? QStringLiteral("on") : QStringLiteral("off"))});
    return m_started;
}

QString PostgresServer::createDatabase(const QString &name)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(binary("createdb"), {QStringLiteral("-h"), m_dir.path(), QStringLiteral("-U"), user(), name});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        m_error = QString::fromLocal8Bit(process.readAll());
        return QString();
    }
    return QStringLiteral("host=%1 dbname=%2 user=%3").arg(m_dir.path(), name, user());
}
