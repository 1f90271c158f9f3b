#include "KeyListCursor.h"

#include "Statement.h"

#include <algorithm>

KeyListCursor::KeyListCursor(Database *db, const QString &keysSql, const QVariantList &values, Order order)
{
    Statement statement(db, keysSql);
    statement.bindAll(values);
    while (statement.step())
        m_keys.push_back(statement.columnInt64(0));
    // Sorting here rather than in SQL leaves the database free to read the keys from whichever
    // index covers the selection.
    if (order == ByKey)
        std::sort(m_keys.begin(), m_keys.end());
}

KeyListCursor::KeyListCursor(std::vector<qint64> keys) : m_keys(std::move(keys))
{
}

std::optional<qint64> KeyListCursor::keyAtIndex(qsizetype index) const
{
    if (index < 0 || index >= qsizetype(m_keys.size()))
        return std::nullopt;
    m_hint = index;
    return m_keys[size_t(index)];
}

int KeyListCursor::indexOf(qint64 key)
{
    if (m_hint >= 0 && m_hint < qsizetype(m_keys.size()) && m_keys[size_t(m_hint)] == key)
        return int(m_hint);
    const auto found = std::find(m_keys.begin(), m_keys.end(), key);
    if (found == m_keys.end())
        return -1;
    m_hint = found - m_keys.begin();
    return int(m_hint);
}

std::optional<qint64> KeyListCursor::first()
{
    return keyAtIndex(0);
}

std::optional<qint64> KeyListCursor::last()
{
    return keyAtIndex(qsizetype(m_keys.size()) - 1);
}

std::optional<qint64> KeyListCursor::next(qint64 key)
{
    const int index = indexOf(key);
    return index < 0 ? std::nullopt : keyAtIndex(index + 1);
}

std::optional<qint64> KeyListCursor::prior(qint64 key)
{
    const int index = indexOf(key);
    return index < 0 ? std::nullopt : keyAtIndex(index - 1);
}

bool KeyListCursor::contains(qint64 key)
{
    return indexOf(key) >= 0;
}

int KeyListCursor::count()
{
    return int(m_keys.size());
}

std::optional<qint64> KeyListCursor::keyAt(int index)
{
    return keyAtIndex(index);
}

void KeyListCursor::keyInserted(qint64 key, std::optional<qint64> before)
{
    const int index = before ? indexOf(*before) : -1;
    if (index < 0)
        m_keys.push_back(key);
    else
        m_keys.insert(m_keys.begin() + index, key);
}

void KeyListCursor::keyRemoved(qint64 key)
{
    const int index = indexOf(key);
    if (index >= 0)
        m_keys.erase(m_keys.begin() + index);
}
