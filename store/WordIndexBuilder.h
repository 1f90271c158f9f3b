#pragma once

#include "WordIndex.h"

class Connection;

#include <QString>
#include <atomic>
#include <functional>

// Builds the word index of a library that lacks it (made by an earlier build or another
// program) on a connection of its own, so that it can run on a thread of its own: a batch of
// speeches at a time, each batch a short transaction of its own so that the window's posts
// go in between. Searches read the speeches meanwhile. A build that is cancelled, or ends with
// the program, goes on where it stopped the next time.
class WordIndexBuilder
{
public:
    explicit WordIndexBuilder(QString connectionString, int batchSize = 1000);

    // Whether the library on a connection wants its index built (it has it, incomplete).
    static bool wanted(Connection &connection);

    // Runs until the index is complete (true) or the build is cancelled (false), telling
    // progress after each batch (on the builder's thread). Raises EDatabaseError when the
    // library cannot be opened or a batch cannot be stored.
    bool run(const std::function<void(const WordIndex::BuildState &)> &progress = {});

    // Stops the build after the batch under way; from any thread.
    void cancel() { m_cancelled = true; }

private:
    QString m_connectionString;
    int m_batchSize;
    std::atomic_bool m_cancelled = false;
};
