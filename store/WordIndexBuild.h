#pragma once

#include "BatchedJob.h"
#include "WordIndex.h"

#include <QString>
#include <memory>

class Connection;

// Builds the word index of a library that lacks it (made by an earlier build or another
// program) on a connection of its own, so that it can run on a thread of its own: a batch of
// speeches at a time, each batch a short transaction of its own so that the window's posts
// go in between. Searches read the speeches meanwhile. A build that is stopped, or ends with
// the program, goes on where it stopped the next time.
class WordIndexBuild : public BatchedJob
{
public:
    explicit WordIndexBuild(QString connectionString, int batchSize = 1000);
    ~WordIndexBuild() override;

    // Whether the library on a connection wants its index built (it has it, incomplete).
    static bool wanted(Connection &connection);

    QString title() const override;
    void start() override;
    bool runBatch() override;
    int percentDone() const override;

    // How far the build has come after the last batch.
    const WordIndex::BuildState &state() const { return m_state; }

private:
    QString m_connectionString;
    int m_batchSize;
    std::unique_ptr<Connection> m_connection;
    WordIndex::BuildState m_state;
};
