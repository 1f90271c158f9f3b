#include "BatchedJobSequence.h"

BatchedJobSequence::BatchedJobSequence(std::vector<std::unique_ptr<BatchedJob>> jobs) : m_jobs(std::move(jobs))
{
}

QString BatchedJobSequence::title() const
{
    return m_current < m_jobs.size() ? m_jobs[m_current]->title() : QString();
}

void BatchedJobSequence::start()
{
    if (m_current < m_jobs.size())
        m_jobs[m_current]->start();
}

bool BatchedJobSequence::runBatch()
{
    if (m_current >= m_jobs.size())
        return false;
    if (m_jobs[m_current]->runBatch())
        return true;
    // Each job opens what it needs when its turn comes, so that a finished one holds nothing.
    m_jobs[m_current].reset();
    if (++m_current >= m_jobs.size())
        return false;
    m_jobs[m_current]->start();
    return true;
}

int BatchedJobSequence::percentDone() const
{
    return m_current < m_jobs.size() ? m_jobs[m_current]->percentDone() : 100;
}
