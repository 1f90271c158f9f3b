#include "BatchedJobRunner.h"

#include "BatchedJob.h"
#include "Exception.h"

#include <QThread>

BatchedJobRunner::BatchedJobRunner(QObject *parent) : QObject(parent)
{
}

BatchedJobRunner::~BatchedJobRunner()
{
    stop();
}

void BatchedJobRunner::start(std::unique_ptr<BatchedJob> job)
{
    stop();
    if (!job)
        return;
    m_stopRequested = false;
    // The job lives and dies on the thread, with the connection it opens there.
    m_thread.reset(QThread::create([this, job = std::shared_ptr<BatchedJob>(std::move(job))]() mutable {
        QString title = job->title();
        bool complete = false;
        QString error;
        try {
            emit progress(title, 0);
            job->start();
            int shown = 0;
            while (!m_stopRequested && !complete) {
                complete = !job->runBatch();
                if (!complete && job->title() != title) { // the next job of a sequence
                    title = job->title();
                    shown = -1;
                }
                if (const int percent = job->percentDone(); percent > shown && !complete) {
                    shown = percent;
                    emit progress(title, percent);
                }
            }
        } catch (const Exception &failure) {
            error = failure.message();
        } catch (const std::exception &failure) {
            // Nothing may leave the thread: out of memory and the like end the job alone.
            error = QString::fromLocal8Bit(failure.what());
        }
        job.reset();
        emit finished(title, complete, error);
    }));
    m_thread->start(QThread::LowPriority);
}

void BatchedJobRunner::stop()
{
    if (!m_thread)
        return;
    m_stopRequested = true;
    m_thread->wait();
    m_thread.reset();
}

bool BatchedJobRunner::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

bool BatchedJobRunner::wait(int msecs)
{
    return !m_thread || m_thread->wait(QDeadlineTimer(msecs));
}
