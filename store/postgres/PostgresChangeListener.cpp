#include "PostgresChangeListener.h"

#include "EDatabaseError.h"
#include "PostgresChangeNotice.h"

#include <QList>

namespace {

// Whether the backend that sent a notification belongs to a role that may change the library's
// speeches or languages (its owner and superusers included); false when it is gone.
const char *const SenderIsWriterSql =
    "SELECT pg_catalog.has_table_privilege(a.usesysid, pg_catalog.to_regclass('\"Speeches\"'), 'INSERT, UPDATE, DELETE') "
    "OR pg_catalog.has_table_privilege(a.usesysid, pg_catalog.to_regclass('\"Taal\"'), 'INSERT, UPDATE, DELETE') "
    "FROM pg_catalog.pg_stat_activity a WHERE a.pid OPERATOR(pg_catalog.=) $1::pg_catalog.int4 AND a.usesysid IS NOT NULL";

constexpr int SendersKept = 100;
constexpr qint64 TellingIntervalMs = 1000;

} // namespace

PostgresChangeListener::PostgresChangeListener(const QString &dataSource, const PostgresSession &own,
                                               std::function<void(const DatabaseChange &)> told)
    : m_session(dataSource, nullptr, own.askedPassword()), m_own(own), m_told(std::move(told))
{
    const PostgresResult channel = m_session.execute(PostgresChangeNotice::channelQuery());
    if (PQntuples(channel.get()) != 1)
        return;
    m_session.execute("LISTEN \"" + QByteArray(PQgetvalue(channel.get(), 0, 0)) + '"');
    m_notifier = std::make_unique<QSocketNotifier>(m_session.socket(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { readNotifications(); });
    m_tellLater.setSingleShot(true);
    QObject::connect(&m_tellLater, &QTimer::timeout, &m_tellLater, [this] { tellWhatCame(); });
}

void PostgresChangeListener::readNotifications()
{
    // Asking who sent one reads from the same connection: what arrives meanwhile waits in
    // libpq's queue, not on the socket, so it is taken until none is left.
    for (;;) {
        std::vector<std::pair<int, QByteArray>> notifications;
        if (!m_session.takeNotifications(notifications))
            m_notifier->setEnabled(false);
        if (notifications.empty())
            break;
        for (const auto &[sender, payload] : notifications) {
            if (sender == m_own.backendPid())
                continue;
            if (const std::optional<DatabaseChange> change = parse(payload); change && sentByWriter(sender))
                m_came.push_back(*change);
        }
    }
    if (m_came.empty() || m_tellLater.isActive())
        return;
    const qint64 waited = m_sinceTold.isValid() ? m_sinceTold.elapsed() : TellingIntervalMs;
    if (waited >= TellingIntervalMs)
        tellWhatCame();
    else
        m_tellLater.start(int(TellingIntervalMs - waited));
}

bool PostgresChangeListener::sentByWriter(int sender)
{
    if (const auto known = m_writers.find(sender); known != m_writers.end())
        return known->second;
    bool writer = false;
    try {
        const PostgresResult verdict = m_session.execute(SenderIsWriterSql, {QByteArray::number(sender)});
        writer = PQntuples(verdict.get()) == 1 && qstrcmp(PQgetvalue(verdict.get(), 0, 0), "t") == 0;
    } catch (const EDatabaseError &) {
        // The connection was lost: nothing more is told.
    }
    if (m_writers.size() >= SendersKept)
        m_writers.clear();
    m_writers[sender] = writer;
    return writer;
}

void PostgresChangeListener::tellWhatCame()
{
    if (m_came.empty())
        return;
    const DatabaseChange change = merged(m_came);
    m_came.clear();
    // A backend's number may serve another role's session later.
    m_writers.clear();
    m_sinceTold.start();
    m_told(change);
}

DatabaseChange PostgresChangeListener::merged(const std::vector<DatabaseChange> &changes)
{
    DatabaseChange one = changes.front();
    for (const DatabaseChange &change : changes) {
        if (change.table != one.table) {
            one.table = QStringLiteral("Speeches"); // a refresh reads the languages as well
            one.key.reset();
        }
        if (change.kind != one.kind)
            one.kind = QStringLiteral("update");
        if (change.key != one.key)
            one.key.reset();
    }
    return one;
}

std::optional<DatabaseChange> PostgresChangeListener::parse(const QByteArray &payload)
{
    const QList<QByteArray> parts = payload.split(' ');
    if (parts.size() != 3 || parts[0].isEmpty())
        return std::nullopt;
    const QString kind = QString::fromUtf8(parts[1]);
    if (kind != QLatin1String("insert") && kind != QLatin1String("update") && kind != QLatin1String("delete"))
        return std::nullopt;
    DatabaseChange change{QString::fromUtf8(parts[0]), kind, std::nullopt};
    bool number = false;
    const qint64 key = parts[2].toLongLong(&number);
    if (number)
        change.key = key;
    else if (parts[2] != "*")
        return std::nullopt;
    return change;
}
