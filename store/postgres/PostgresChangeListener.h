#pragma once

#include "Database.h"
#include "PostgresSession.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// Listens on a connection of its own for the changes the server tells of (see
// PostgresChangeNotice) and hands each one that another program made to told. The socket is
// watched by the event loop, so that nobody waits for the server; a listener whose connection
// is lost falls silent. Anyone who may connect can send a notification on the channel, so only
// those sent by a role that may change the library are believed; and however many arrive, told
// hears at most about once a second, what came meanwhile merged into one change.
class PostgresChangeListener
{
public:
    // own is the session whose changes are not told back. Raises EDatabaseError when it
    // cannot connect.
    PostgresChangeListener(const QString &dataSource, const PostgresSession &own,
                           std::function<void(const DatabaseChange &)> told);

    // Reads one notification's payload; none when it is not one the program sends.
    static std::optional<DatabaseChange> parse(const QByteArray &payload);
    // One change for several: the same table, kind and row where they all agree.
    static DatabaseChange merged(const std::vector<DatabaseChange> &changes);

private:
    void readNotifications();
    bool sentByWriter(int sender);
    void tellWhatCame();

    PostgresSession m_session;
    const PostgresSession &m_own;
    std::function<void(const DatabaseChange &)> m_told;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unordered_map<int, bool> m_writers; // of each sending backend, until the next telling
    std::vector<DatabaseChange> m_came;      // believed, not told yet
    QElapsedTimer m_sinceTold;
    QTimer m_tellLater;
};
