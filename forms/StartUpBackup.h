#pragma once

#include "BackupRotation.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

// The day's backup of a library file, made at start-up on a thread of its own so that the
// window opens as fast as without it. Its failure comes back on the window's thread.
class StartUpBackup : public QObject
{
    Q_OBJECT

public:
    StartUpBackup(const QString &databasePath, const BackupRotation &rotation, QObject *parent);
    // Stops a copy still running (its file goes) and waits for the thread.
    ~StartUpBackup() override;

signals:
    // Why the backup could not be made, in words for the user.
    void failed(const QString &message);
    // Sent once the backup has ended, made or not.
    void finished();

private:
    std::atomic_bool m_stop{false};
    std::thread m_thread;
};
