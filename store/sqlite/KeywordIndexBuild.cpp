#include "KeywordIndexBuild.h"

#include "KeywordIndex.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"

#include <algorithm>

KeywordIndexBuild::KeywordIndexBuild(const QString &path, int speechesPerBatch)
    : m_path(path), m_speechesPerBatch(speechesPerBatch)
{
}

KeywordIndexBuild::~KeywordIndexBuild() = default;

QString KeywordIndexBuild::title() const
{
    return QStringLiteral("Indexing the keywords");
}

void KeywordIndexBuild::start()
{
    m_database = std::make_unique<SqliteDatabase>(m_path, nullptr);
    m_position = KeywordIndex::buildPosition(m_database->handle()).value_or(0);
    // The share done follows the IDs, which a library gives out in order.
    SqliteStatement highest(m_database->handle(), QStringLiteral("SELECT max(ID) FROM Speeches"));
    m_highestId = highest.step() ? highest.columnInt64(0) : 0;
}

bool KeywordIndexBuild::runBatch()
{
    const bool more = KeywordIndex::buildBatch(m_database->handle(), m_speechesPerBatch);
    m_position = more ? KeywordIndex::buildPosition(m_database->handle()).value_or(m_highestId) : m_highestId;
    return more;
}

int KeywordIndexBuild::percentDone() const
{
    if (m_highestId <= 0)
        return 100;
    return int(std::clamp<qint64>(m_position * 100 / m_highestId, 0, 100));
}
