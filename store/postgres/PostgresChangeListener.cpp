#include "PostgresChangeListener.h"

#include "PostgresChangeNotice.h"

#include <QList>

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
}

void PostgresChangeListener::readNotifications()
{
    std::vector<std::pair<int, QByteArray>> notifications;
    if (!m_session.takeNotifications(notifications))
        m_notifier->setEnabled(false);
    for (const auto &[sender, payload] : notifications) {
        if (sender == m_own.backendPid())
            continue;
        if (const std::optional<DatabaseChange> change = parse(payload))
            m_told(*change);
    }
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
