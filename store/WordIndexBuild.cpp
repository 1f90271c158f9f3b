#include "WordIndexBuild.h"

#include "Connection.h"
#include "Database.h"

#include <algorithm>

WordIndexBuild::WordIndexBuild(QString connectionString, int batchSize)
    : m_connectionString(std::move(connectionString)), m_batchSize(batchSize)
{
}

WordIndexBuild::~WordIndexBuild() = default;

bool WordIndexBuild::wanted(Connection &connection)
{
    WordIndex *index = connection.handle()->wordIndex();
    return index && index->incomplete();
}

QString WordIndexBuild::title() const
{
    return QStringLiteral("Indexing the words of the speeches");
}

void WordIndexBuild::start()
{
    m_connection = std::make_unique<Connection>();
    m_connection->setConnectionString(m_connectionString);
    m_connection->open();
}

bool WordIndexBuild::runBatch()
{
    WordIndex *index = m_connection->handle()->wordIndex();
    if (!index) { // an engine without the index: nothing to build
        m_state.complete = true;
        return false;
    }
    m_state = index->buildBatch(m_batchSize);
    return !m_state.complete;
}

int WordIndexBuild::percentDone() const
{
    if (m_state.complete || m_state.total <= 0)
        return m_state.complete ? 100 : 0;
    return int(std::clamp<qint64>(m_state.indexed * 100 / m_state.total, 0, 100));
}
