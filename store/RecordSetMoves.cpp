#include "RecordSet.h"

#include "Connection.h"
#include "KeyCursor.h"
#include "SqlToken.h"
#include "Statement.h"

// The record set's moves: to the first, last, next and prior row, to a position, to a value.

void RecordSet::first()
{
    checkActive();
    checkBrowseMode();
    const std::optional<qint64> key = m_cursor->first();
    makeCurrent(key);
    m_bof = true;
    m_eof = !key;
    scrolled();
}

void RecordSet::last()
{
    checkActive();
    checkBrowseMode();
    const std::optional<qint64> key = m_cursor->last();
    makeCurrent(key);
    m_eof = true;
    m_bof = !key;
    scrolled();
}

void RecordSet::next()
{
    checkActive();
    checkBrowseMode();
    const std::optional<qint64> key = m_currentKey ? m_cursor->next(*m_currentKey) : std::nullopt;
    if (key) {
        makeCurrent(key);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
        m_bof = m_bof || !m_currentKey;
    }
    scrolled();
}

void RecordSet::prior()
{
    checkActive();
    checkBrowseMode();
    const std::optional<qint64> key = m_currentKey ? m_cursor->prior(*m_currentKey) : std::nullopt;
    if (key) {
        makeCurrent(key);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
        m_eof = m_eof || !m_currentKey;
    }
    scrolled();
}

int RecordSet::recNo() const
{
    if (!m_cursor || !m_currentKey)
        return -1;
    return m_cursor->indexOf(*m_currentKey);
}

int RecordSet::newRowPosition() const
{
    if (m_state != DataSetState::Insert)
        return -1;
    const int before = m_insertBefore ? m_cursor->indexOf(*m_insertBefore) : -1;
    return before >= 0 ? before : m_cursor->count();
}

QVariant RecordSet::valueAt(int position, const QString &fieldName) const
{
    const int column = columnIndex(fieldName);
    if (!m_cursor || column < 0)
        return QVariant();
    const std::optional<qint64> key = m_cursor->keyAt(position);
    if (!key)
        return QVariant();
    m_fetchRow->reset();
    m_fetchRow->bindAll(m_fetchValues + QVariantList{*key});
    QVariant value;
    if (m_fetchRow->step())
        value = m_fetchRow->columnValue(column);
    m_fetchRow->reset();
    return value;
}

void RecordSet::setRecNo(int position)
{
    checkActive();
    checkBrowseMode();
    const std::optional<qint64> key = m_cursor->keyAt(position);
    if (!key)
        refuse(QStringLiteral("Row %1 is out of range").arg(position));
    makeCurrent(key);
    m_bof = m_eof = false;
    scrolled();
}

bool RecordSet::locate(const QString &fieldName, qint64 value)
{
    checkActive();
    checkBrowseMode();
    const int column = columnIndex(fieldName);
    if (column < 0)
        refuse(QStringLiteral("Field '%1' not found").arg(fieldName));
    std::optional<qint64> found;
    if (column == m_keyColumn) {
        if (m_cursor->contains(value))
            found = value;
    } else {
        // The first row in the record set's order whose field holds the value.
        Statement matches(m_connection->handle(),
                          QStringLiteral("SELECT \"ID\" FROM (%1) AS selection WHERE %2 = ?")
                              .arg(m_command.sql, quoteIdentifier(m_columns[column])));
        matches.bindAll(commandValuesWith({value}));
        int bestIndex = -1;
        while (matches.step()) {
            const qint64 key = matches.columnInt64(0);
            const int index = m_cursor->indexOf(key);
            if (index >= 0 && (bestIndex < 0 || index < bestIndex)) {
                bestIndex = index;
                found = key;
            }
        }
    }
    if (!found)
        return false;
    // Finding the row that is already current is no move: the flags stay as they are.
    if (found != m_currentKey) {
        makeCurrent(found);
        m_bof = m_eof = false;
    }
    scrolled();
    return true;
}
