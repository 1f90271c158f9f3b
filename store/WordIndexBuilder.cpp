#include "WordIndexBuilder.h"

#include "Connection.h"
#include "Database.h"

WordIndexBuilder::WordIndexBuilder(QString connectionString, int batchSize)
    : m_connectionString(std::move(connectionString)), m_batchSize(batchSize)
{
}

bool WordIndexBuilder::wanted(Connection &connection)
{
    WordIndex *index = connection.handle()->wordIndex();
    return index && index->incomplete();
}

bool WordIndexBuilder::run(const std::function<void(const WordIndex::BuildState &)> &progress)
{
    Connection connection;
    connection.setConnectionString(m_connectionString);
    WordIndex *index = connection.handle()->wordIndex();
    if (!index)
        return true; // an engine without the index: nothing to build
    while (!m_cancelled) {
        const WordIndex::BuildState state = index->buildBatch(m_batchSize);
        if (progress)
            progress(state);
        if (state.complete)
            return true;
    }
    return false;
}
