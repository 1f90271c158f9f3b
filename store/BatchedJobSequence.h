#pragma once

#include "BatchedJob.h"

#include <memory>
#include <vector>

// Several batched jobs run one after the other as one, for a BatchedJobRunner that runs one
// job at a time; its title and share done are those of the job under way.
class BatchedJobSequence : public BatchedJob
{
public:
    explicit BatchedJobSequence(std::vector<std::unique_ptr<BatchedJob>> jobs);

    QString title() const override;
    void start() override;
    bool runBatch() override;
    int percentDone() const override;

private:
    std::vector<std::unique_ptr<BatchedJob>> m_jobs;
    std::size_t m_current = 0;
};
