#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class BatchedJob;
class QThread;

// Runs one BatchedJob at a time on a thread of its own, so that the window stays usable,
// and tells how far it has come. Stopping (or destroying the runner) lets the running batch
// end, commits nothing more and waits for the thread.
//
// Use: runner.start(database->backgroundWork()); connect progress() to the status bar and
// finished() to whatever needs the finished work.
class BatchedJobRunner : public QObject
{
    Q_OBJECT

public:
    explicit BatchedJobRunner(QObject *parent = nullptr);
    ~BatchedJobRunner() override;

    // Stops a job still running, then runs this one; none does nothing.
    void start(std::unique_ptr<BatchedJob> job);
    void stop();
    bool isRunning() const;
    // Waits until the job has ended; false when msecs passed first.
    bool wait(int msecs);

signals:
    // Sent each time the share done grows, and once with 0 at the start.
    void progress(const QString &title, int percent);
    // Sent once the job has ended: complete when nothing is left to do; otherwise stopped,
    // or failed with the error's message.
    void finished(const QString &title, bool complete, const QString &error);

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_stopRequested = false;
};
