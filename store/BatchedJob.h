#pragma once

#include <QString>

// A long piece of work on a database done in short batches, each committed on its own so that
// the window's writes and other programs get their turn between two batches. A job stopped
// between batches, or cut short by a crash, resumes where it was the next time it runs.
// BatchedJobRunner runs one on a thread of its own.
class BatchedJob
{
public:
    virtual ~BatchedJob() = default;

    // What the job does, for the status bar: "Indexing the keywords".
    virtual QString title() const = 0;
    // Readies the job on the thread that runs it (opens the job's own connection there).
    // Raises EDatabaseError when it cannot.
    virtual void start() = 0;
    // Does one batch; false once nothing is left to do. Raises EDatabaseError when a batch
    // fails, which leaves what the earlier batches did in place.
    virtual bool runBatch() = 0;
    // How far the job has come, 0 to 100.
    virtual int percentDone() const = 0;
};
