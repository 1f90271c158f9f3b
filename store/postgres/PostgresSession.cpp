#include "PostgresSession.h"

#include "EDatabaseError.h"
#include "PostgresConnectDefaults.h"
#include "PostgresLibraryTrust.h"
#include "ServerPassword.h"
#include "TerminalText.h"

#include <QRegularExpression>
#include <cstdio>
#include <poll.h>
#include <sys/prctl.h>

namespace {

// A statement that has not answered after this long waits for another client.
constexpr int BusyAfterMs = 300;

std::vector<const char *> pointersOf(const PostgresSession::Values &values)
{
    std::vector<const char *> pointers;
    pointers.reserve(values.size());
    for (const std::optional<QByteArray> &value : values)
        pointers.push_back(value ? value->constData() : nullptr);
    return pointers;
}

QString option(PQconninfoOption *options, const char *keyword)
{
    for (PQconninfoOption *o = options; o && o->keyword; ++o) {
        if (qstrcmp(o->keyword, keyword) == 0 && o->val)
            return QString::fromUtf8(o->val);
    }
    return QString();
}

QString serverName(const QString &host, const QString &port, const QString &dbname, const QString &user)
{
    QString name = host.isEmpty() ? QStringLiteral("localhost") : host;
    if (!port.isEmpty())
        name += QLatin1Char(':') + port;
    name += QLatin1Char('/') + dbname;
    if (!user.isEmpty())
        name += QStringLiteral(" as ") + user;
    return name;
}

// libpq's account of a lost connection runs over several lines with its own indentation:
// its first line, without the severity, says what happened.
QString firstLineOf(const QString &message)
{
    QString line = message.section(QLatin1Char('\n'), 0, 0).trimmed();
    for (const QLatin1String severity : {QLatin1String("FATAL:"), QLatin1String("ERROR:")}) {
        if (line.startsWith(severity))
            line = line.mid(severity.size()).trimmed();
    }
    if (line.endsWith(QLatin1Char('.')))
        line.chop(1);
    return line.isEmpty() ? QStringLiteral("the server closed it") : line;
}

// A server's notice goes to the error output as libpq's own would, but without the control
// characters that another user's function could put into it for the terminal.
void printNotice(void *, const char *message)
{
    std::fputs(TerminalText::printable(QString::fromUtf8(message)).toUtf8().constData(), stderr);
}

// A process that holds a password writes no core dump and cannot be read by a debugger
// attached as the same user.
void keepFromCoreDumps(const QString &password)
{
    if (!password.isEmpty())
        ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
}

} // namespace

PostgresSession::PostgresSession(const QString &dataSource, std::function<void()> onBusy,
                                 std::optional<QByteArray> askedPassword)
    : m_dataSource(dataSource.toUtf8()), m_onBusy(std::move(onBusy)), m_askedPassword(std::move(askedPassword))
{
    // The server is named from the string itself until a connection says more.
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(m_dataSource.constData(), &error);
    if (!options) {
        PQfreemem(error);
        throw EDatabaseError(QStringLiteral("Cannot open the database on the server: the connection string is not "
                                            "one PostgreSQL reads"));
    }
    m_password = option(options, "password");
    keepFromCoreDumps(m_password);
    const QString host = option(options, "host");
    m_server = serverName(host.isEmpty() ? option(options, "hostaddr") : host, option(options, "port"),
                          option(options, "dbname"), option(options, "user"));
    PQconninfoFree(options);
    // A password is kept for the server a connection really reaches: two services never share one.
    const PostgresConnectDefaults::Settings expanded = PostgresConnectDefaults::serviceExpanded(m_dataSource);
    if (!expanded.empty()) {
        const auto value = [&](const char *keyword) {
            return QString::fromUtf8(PostgresConnectDefaults::valueIn(expanded, keyword));
        };
        const QString expandedHost = value("host");
        m_server = serverName(expandedHost.isEmpty() ? value("hostaddr") : expandedHost, value("port"), value("dbname"),
                              value("user"));
    }
    m_passwordKey = m_server;
    // A data source written without its password (as the settings hold it) uses the one the
    // server accepted earlier in this run.
    if (!m_askedPassword && m_password.isEmpty())
        m_askedPassword = ServerPassword::remembered(m_passwordKey);
    m_defaults = PostgresConnectDefaults::forDataSource(m_dataSource);
    try {
        connect();
    } catch (...) {
        PQfinish(m_conn); // the destructor does not run for a session that never opened
        throw;
    }
}

PGconn *PostgresSession::connectWith(const std::optional<QByteArray> &password) const
{
    // The program's defaults come first: what the data source says itself overrides them, and
    // a password the user typed overrides that.
    std::vector<const char *> keywords;
    std::vector<const char *> values;
    for (const auto &[keyword, value] : m_defaults) {
        keywords.push_back(keyword.constData());
        values.push_back(value.constData());
    }
    keywords.push_back("dbname");
    values.push_back(m_dataSource.constData());
    if (password) {
        keywords.push_back("password");
        values.push_back(password->constData());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    return PQconnectdbParams(keywords.data(), values.data(), 1);
}

PostgresSession::~PostgresSession()
{
    PQfinish(m_conn);
}

void PostgresSession::connect()
{
    if (m_conn) {
        PQreset(m_conn);
    } else {
        m_conn = connectWith(m_askedPassword);
        // A server that wants a password nothing else gave: the one kept in the keyring is
        // tried, then the user asked, again while the server refuses it, until the user gives none.
        // One the user gave (in the data source or earlier) that the server refuses is asked anew.
        ServerPassword::Attempts attempts(m_passwordKey, m_askedPassword.has_value() || !m_password.isEmpty());
        const auto passwordWanted = [this] {
            return PQconnectionNeedsPassword(m_conn)
                   || (PQconnectionUsedPassword(m_conn)
                       && QByteArray(PQerrorMessage(m_conn)).contains("password authentication failed"));
        };
        while (m_conn && PQstatus(m_conn) != CONNECTION_OK && passwordWanted()) {
            const std::optional<QByteArray> password = attempts.next();
            if (!password)
                break;
            m_askedPassword = password;
            m_password = QString::fromUtf8(*password);
            keepFromCoreDumps(m_password);
            PQfinish(m_conn);
            m_conn = connectWith(m_askedPassword);
        }
        if (m_conn && PQstatus(m_conn) == CONNECTION_OK) {
            attempts.accepted();
            if (const char *accepted = PQpass(m_conn); accepted && *accepted)
                ServerPassword::remember(m_passwordKey, accepted);
        }
    }
    if (!m_conn)
        throw EDatabaseError(QStringLiteral("Cannot open the database on the server %1: out of memory").arg(m_server));
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw EDatabaseError(QStringLiteral("Cannot open the database on the server %1: %2%3")
                                 .arg(m_server, reason(), defaultsNote()));
    try {
        if (PQsetClientEncoding(m_conn, "UTF8") != 0)
            throw EDatabaseError(QStringLiteral("The server %1 does not take UTF-8 text: %2").arg(m_server, reason()));
        const char *password = PQpass(m_conn);
        if (password && *password)
            m_password = QString::fromUtf8(password);
        keepFromCoreDumps(m_password);
        PQsetNoticeProcessor(m_conn, printNotice, nullptr);
        m_server = serverName(QString::fromUtf8(PQhost(m_conn)), QString::fromUtf8(PQport(m_conn)),
                              QString::fromUtf8(PQdb(m_conn)), QString::fromUtf8(PQuser(m_conn)));
        PostgresLibraryTrust::secure(*this);
    } catch (...) {
        // A connection that was refused is not used by the next statement.
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
    ++m_generation;
}

QString PostgresSession::describe() const
{
    return QStringLiteral("server ") + m_server;
}

QString PostgresSession::defaultsNote() const
{
    // Only where the refusal is about the encryption or the proof of the server's name.
    static const QRegularExpression aboutTls(QStringLiteral("SSL|certificate|channel binding"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (!aboutTls.match(reason()).hasMatch())
        return QString();
    for (const auto &[keyword, value] : m_defaults) {
        if (keyword != "sslmode")
            continue;
        QString note = QStringLiteral(" (over the network the program asks for sslmode=verify-full and "
                                      "channel_binding=require unless the connection string names others)");
        // A server on this machine is usually reached through its socket, where TLS has no part.
        static const QRegularExpression local(QStringLiteral("^(localhost|127\\.[0-9.]+|::1)$"));
        if (m_conn && local.match(QString::fromUtf8(PQhost(m_conn))).hasMatch())
            note += QStringLiteral(". A server on this machine is reached without TLS through its local socket: "
                                   "postgresql:///%1 or host=/var/run/postgresql dbname=%1; or add sslmode=disable "
                                   "to the connection string")
                        .arg(TerminalText::printable(QString::fromUtf8(PQdb(m_conn))));
        return note;
    }
    return QString();
}

QString PostgresSession::reason() const
{
    QString message = TerminalText::printable(QString::fromUtf8(m_conn ? PQerrorMessage(m_conn) : "").trimmed());
    if (!m_password.isEmpty())
        message.replace(m_password, QStringLiteral("********"));
    return message;
}

PGTransactionStatusType PostgresSession::transactionStatus() const
{
    return m_conn ? PQtransactionStatus(m_conn) : PQTRANS_UNKNOWN;
}

int PostgresSession::backendPid() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK ? PQbackendPID(m_conn) : 0;
}

int PostgresSession::socket() const
{
    return m_conn ? PQsocket(m_conn) : -1;
}

bool PostgresSession::takeNotifications(std::vector<std::pair<int, QByteArray>> &notifications)
{
    if (!m_conn || PQconsumeInput(m_conn) == 0 || PQstatus(m_conn) != CONNECTION_OK)
        return false;
    while (PGnotify *notify = PQnotifies(m_conn)) {
        notifications.emplace_back(notify->be_pid, QByteArray(notify->extra));
        PQfreemem(notify);
    }
    return true;
}

PGconn *PostgresSession::connection()
{
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK)
        connect();
    return m_conn;
}

PostgresResult PostgresSession::run(const std::function<int(PGconn *)> &send,
                                    const std::function<void(const PGresult *)> &eachRow)
{
    PGconn *conn = connection();
    const auto lost = [&] {
        return EDatabaseError(QStringLiteral("The connection to the server %1 was lost (%2). What was not stored is "
                                             "still shown; the next action connects again.")
                                  .arg(m_server, firstLineOf(reason())));
    };
    if (!send(conn)) {
        if (PQstatus(conn) != CONNECTION_OK)
            throw lost();
        throw EDatabaseError(reason());
    }
    if (eachRow)
        PQsetSingleRowMode(conn);
    bool told = false;
    while (PQisBusy(conn)) {
        pollfd socket{PQsocket(conn), POLLIN, 0};
        const int ready = ::poll(&socket, 1, told ? -1 : BusyAfterMs);
        if (ready == 0 && !told) {
            told = true;
            if (m_onBusy)
                m_onBusy();
            continue;
        }
        if (!PQconsumeInput(conn))
            break;
    }
    PostgresResult last;
    PostgresResult failed;
    while (PGresult *result = PQgetResult(conn)) {
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_SINGLE_TUPLE && eachRow) {
            eachRow(result);
            PQclear(result);
            continue;
        }
        if ((status == PGRES_FATAL_ERROR || status == PGRES_NONFATAL_ERROR) && !failed)
            failed.reset(result);
        else
            last.reset(result);
    }
    if (PQstatus(conn) != CONNECTION_OK)
        throw lost();
    if (failed) {
        QString message = QString::fromUtf8(PQresultErrorMessage(failed.get())).trimmed();
        if (message.startsWith(QLatin1String("ERROR:")))
            message = message.mid(6).trimmed();
        if (!m_password.isEmpty())
            message.replace(m_password, QStringLiteral("********"));
        throw EDatabaseError(TerminalText::printable(message));
    }
    if (!last)
        throw lost();
    return last;
}

PostgresResult PostgresSession::execute(const QByteArray &sql)
{
    return run([&](PGconn *conn) { return PQsendQuery(conn, sql.constData()); });
}

PostgresResult PostgresSession::execute(const QByteArray &sql, const Values &values)
{
    const std::vector<const char *> pointers = pointersOf(values);
    return run([&](PGconn *conn) {
        return PQsendQueryParams(conn, sql.constData(), int(values.size()), nullptr, pointers.data(), nullptr,
                                 nullptr, 0);
    });
}

void PostgresSession::executeRowByRow(const QByteArray &sql, const Values &values,
                                      const std::function<void(const PGresult *)> &eachRow)
{
    const std::vector<const char *> pointers = pointersOf(values);
    run(
        [&](PGconn *conn) {
            return PQsendQueryParams(conn, sql.constData(), int(values.size()), nullptr, pointers.data(), nullptr,
                                     nullptr, 0);
        },
        eachRow);
}

PostgresResult PostgresSession::executeBinary(const QByteArray &sql, const Values &values)
{
    const std::vector<const char *> pointers = pointersOf(values);
    return run([&](PGconn *conn) {
        return PQsendQueryParams(conn, sql.constData(), int(values.size()), nullptr, pointers.data(), nullptr, nullptr, 1);
    });
}

PostgresResult PostgresSession::prepare(const QByteArray &name, const QByteArray &sql)
{
    return run([&](PGconn *conn) { return PQsendPrepare(conn, name.constData(), sql.constData(), 0, nullptr); });
}

PostgresResult PostgresSession::describePrepared(const QByteArray &name)
{
    return run([&](PGconn *conn) { return PQsendDescribePrepared(conn, name.constData()); });
}

PostgresResult PostgresSession::executePrepared(const QByteArray &name, const Values &values)
{
    const std::vector<const char *> pointers = pointersOf(values);
    return run([&](PGconn *conn) {
        return PQsendQueryPrepared(conn, name.constData(), int(values.size()), pointers.data(), nullptr, nullptr, 0);
    });
}

void PostgresSession::deallocate(const QByteArray &name, quint64 generation) noexcept
{
    // A failed transaction refuses every statement; the name then lasts as long as the connection.
    if (!m_conn || generation != m_generation || PQstatus(m_conn) != CONNECTION_OK
        || PQtransactionStatus(m_conn) == PQTRANS_INERROR || PQtransactionStatus(m_conn) == PQTRANS_ACTIVE)
        return;
    PQclear(PQexec(m_conn, QByteArray("DEALLOCATE " + name).constData()));
}

QByteArray PostgresSession::newStatementName()
{
    return "tinlark_" + QByteArray::number(++m_statementNumber);
}
