#pragma once

#include "Database.h"
#include "PostgresSession.h"

#include <QSocketNotifier>
#include <functional>
#include <memory>

// Listens on a connection of its own for the changes the server tells of (see
// PostgresChangeNotice) and hands each one that another program made to told. The socket is
// watched by the event loop, so that nobody waits for the server; a listener whose connection
// is lost falls silent.
class PostgresChangeListener
{
public:
    // own is the session whose changes are not told back. Raises EDatabaseError when it
    // cannot connect.
    PostgresChangeListener(const QString &dataSource, const PostgresSession &own,
                           std::function<void(const DatabaseChange &)> told);

    // Reads one notification's payload; none when it is not one the program sends.
    static std::optional<DatabaseChange> parse(const QByteArray &payload);

private:
    void readNotifications();

    PostgresSession m_session;
    const PostgresSession &m_own;
    std::function<void(const DatabaseChange &)> m_told;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
