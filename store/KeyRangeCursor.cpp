#include "KeyRangeCursor.h"

KeyRangeCursor::KeyRangeCursor(Database *db, QString keysSql, QVariantList values)
    : m_db(db), m_keysSql(std::move(keysSql)), m_values(std::move(values))
{
}

std::optional<qint64> KeyRangeCursor::firstKey(std::unique_ptr<Statement> &statement, const char *tail,
                                               std::optional<qint64> argument)
{
    // Each kind of look-up is prepared once and run again with new values.
    if (!statement)
        statement = std::make_unique<Statement>(m_db, m_keysSql + QLatin1String(tail));
    QVariantList values = m_values;
    if (argument)
        values.append(*argument);
    statement->reset();
    statement->bindAll(values);
    std::optional<qint64> key;
    if (statement->step())
        key = statement->columnInt64(0);
    statement->reset();
    return key;
}

qint64 KeyRangeCursor::countWhere(std::unique_ptr<Statement> &statement, const char *tail,
                                  std::optional<qint64> argument)
{
    if (!statement)
        statement = std::make_unique<Statement>(
            m_db, QStringLiteral("SELECT count(*) FROM (") + m_keysSql + QLatin1String(tail) + QStringLiteral(") AS counted"));
    QVariantList values = m_values;
    if (argument)
        values.append(*argument);
    statement->reset();
    statement->bindAll(values);
    const qint64 count = statement->step() ? statement->columnInt64(0) : 0;
    statement->reset();
    return count;
}

std::optional<qint64> KeyRangeCursor::first()
{
    return firstKey(m_first, " ORDER BY \"ID\" LIMIT 1", std::nullopt);
}

std::optional<qint64> KeyRangeCursor::last()
{
    return firstKey(m_last, " ORDER BY \"ID\" DESC LIMIT 1", std::nullopt);
}

std::optional<qint64> KeyRangeCursor::next(qint64 key)
{
    return firstKey(m_next, " AND \"ID\" > ? ORDER BY \"ID\" LIMIT 1", key);
}

std::optional<qint64> KeyRangeCursor::prior(qint64 key)
{
    return firstKey(m_prior, " AND \"ID\" < ? ORDER BY \"ID\" DESC LIMIT 1", key);
}

bool KeyRangeCursor::contains(qint64 key)
{
    return firstKey(m_contains, " AND \"ID\" = ?", key).has_value();
}

int KeyRangeCursor::count()
{
    return int(countWhere(m_count, "", std::nullopt));
}

int KeyRangeCursor::indexOf(qint64 key)
{
    if (!contains(key))
        return -1;
    return int(countWhere(m_countBefore, " AND \"ID\" < ?", key));
}

std::optional<qint64> KeyRangeCursor::keyAt(int index)
{
    if (index < 0)
        return std::nullopt;
    return firstKey(m_keyAt, " ORDER BY \"ID\" LIMIT 1 OFFSET ?", index);
}
