#include "RecordSet.h"

#include "Connection.h"
#include "Database.h"
#include "EPostConflict.h"
#include "KeyCursor.h"
#include "SqlToken.h"
#include "Statement.h"
#include "TransactionGuard.h"

// The record set's edits: new rows, changes, posting them to the database, deleting, refreshing.

void RecordSet::beginNewRow(std::optional<qint64> insertBefore)
{
    checkWritable();
    checkBrowseMode();
    m_keyBeforeInsert = m_currentKey;
    m_insertBefore = insertBefore;
    m_originalRow = m_row;
    m_row = QVariantList(m_columns.size());
    m_modified = false;
    setState(DataSetState::Insert);
    notifyRecordChanged(nullptr);
}

void RecordSet::insert()
{
    checkActive();
    beginNewRow(m_currentKey);
}

void RecordSet::append()
{
    checkActive();
    beginNewRow(std::nullopt);
}

void RecordSet::edit()
{
    checkWritable();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    if (!m_currentKey) {
        insert();
        return;
    }
    m_originalRow = m_row;
    m_modified = false;
    setState(DataSetState::Edit);
}

void RecordSet::validateRow() const
{
    for (int column = 0; column < m_columns.size(); ++column) {
        const int size = m_columnSizes[size_t(column)];
        if (size > 0 && m_row[column].typeId() == QMetaType::QString && m_row[column].toString().size() > size)
            refuse(QStringLiteral("Field '%1' holds at most %2 characters").arg(m_columns[column]).arg(size));
    }
}

namespace {

// Whether a field holds the same value in two versions of a row: NULL differs from an empty text.
bool sameValue(const QVariant &one, const QVariant &other)
{
    return one == other && one.isNull() == other.isNull();
}

} // namespace

void RecordSet::storeRow()
{
    Database *db = m_connection->handle();
    const QString table = quoteIdentifier(m_command.baseTable);
    QStringList names;
    QVariantList values;
    for (int column = 0; column < m_columns.size(); ++column) {
        if (column == m_keyColumn)
            continue;
        if (m_state == DataSetState::Edit && sameValue(m_row[column], m_originalRow[column]))
            continue;
        names.append(quoteIdentifier(m_columns[column]));
        values.append(m_row[column]);
    }

    TransactionGuard transaction(db);
    if (m_state == DataSetState::Insert) {
        const QString placeholders = QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(QLatin1Char(','));
        const QString sql = names.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(table, names.join(QLatin1Char(',')), placeholders);
        Statement insert(db, sql + QStringLiteral(" RETURNING \"ID\""));
        insert.bindAll(values);
        if (!insert.step())
            refuse(QStringLiteral("Cannot store the row: the database gave it no ID"));
        const qint64 key = insert.columnInt64(0);
        while (insert.step()) {
        }
        transaction.commit();
        m_cursor->keyInserted(key, m_insertBefore);
        m_currentKey = key;
    } else if (!names.isEmpty()) {
        updateRow(names, values);
        transaction.commit();
    }
}

// Optimistic locking: the row is stored only while it still holds every value it was read
// with, so that a change someone else stored in the meantime is never overwritten unseen.
// A refusal says whether the row was changed or deleted; the values typed here stay.
void RecordSet::updateRow(const QStringList &names, const QVariantList &values)
{
    Database *db = m_connection->handle();
    const QString table = quoteIdentifier(m_command.baseTable);
    QStringList assignments;
    for (const QString &name : names)
        assignments.append(name + QStringLiteral(" = ?"));
    QStringList unchanged{QStringLiteral("\"ID\" = ?")};
    QVariantList arguments = values + QVariantList{*m_currentKey};
    for (int column = 0; column < m_columns.size(); ++column) {
        if (column == m_keyColumn || !m_columnStored[size_t(column)])
            continue;
        // A value the program did not write (not valid UTF-8, a BLOB) is compared as the bytes it was read as.
        const bool bytes = m_originalRow[column].typeId() == QMetaType::QByteArray;
        const QString name = quoteIdentifier(m_columns[column]);
        unchanged.append(bytes ? db->sameBytesCondition(name) : db->sameValueCondition(name));
        arguments.append(m_originalRow[column]);
    }
    Statement update(db, QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                             .arg(table, assignments.join(QLatin1Char(',')), unchanged.join(QStringLiteral(" AND "))));
    update.execute(arguments);
    if (update.changes() != 0)
        return;
    Statement exists(db, QStringLiteral("SELECT 1 FROM %1 WHERE \"ID\" = ?").arg(table));
    exists.bind(1, *m_currentKey);
    if (exists.step())
        throw EPostConflict(EPostConflict::Kind::Changed,
                            QStringLiteral("Cannot store the row: someone else changed it after it was read here. "
                                           "Your changes are still shown; cancel them and refresh to see the other change"));
    throw EPostConflict(EPostConflict::Kind::Deleted,
                        QStringLiteral("Cannot store the row: someone else deleted it after it was read here. "
                                       "Your changes are still shown"));
}

std::optional<QVariantList> RecordSet::storedRow()
{
    checkActive();
    if (!m_currentKey || m_state != DataSetState::Edit)
        return std::nullopt;
    m_fetchRow->reset();
    m_fetchRow->bindAll(m_fetchValues + QVariantList{*m_currentKey});
    std::optional<QVariantList> stored;
    if (m_fetchRow->step()) {
        stored.emplace();
        for (int i = 0; i < m_columns.size(); ++i)
            stored->append(m_fetchRow->columnStoredValue(i));
    }
    m_fetchRow->reset();
    return stored;
}

void RecordSet::postOver(const QVariantList &seenRow)
{
    checkActive();
    if (m_state != DataSetState::Edit || seenRow.size() != m_columns.size())
        refuse(QStringLiteral("Cannot store over another version: no row is being edited"));
    // The version the user has now seen becomes the one the update must still find; a field
    // the user left as it was read takes what is stored there now, so that only the fields
    // the user changed are written over it.
    const QVariantList asRead = m_originalRow;
    const QVariantList asTyped = m_row;
    for (int column = 0; column < m_columns.size(); ++column) {
        if (column != m_keyColumn && m_columnStored[size_t(column)] && sameValue(m_row[column], m_originalRow[column]))
            m_row[column] = seenRow[column];
    }
    m_originalRow = seenRow;
    try {
        post();
    } catch (...) {
        m_originalRow = asRead;
        m_row = asTyped;
        throw;
    }
}

QStringList RecordSet::fieldsChangedOnBothSides(const QVariantList &storedNow) const
{
    QStringList fields;
    for (int column = 0; column < m_columns.size() && column < storedNow.size(); ++column) {
        if (column == m_keyColumn || !m_columnStored[size_t(column)])
            continue;
        const QVariant &read = m_originalRow[column];
        if (!sameValue(m_row[column], read) && !sameValue(storedNow[column], read)
            && !sameValue(m_row[column], storedNow[column]))
            fields.append(m_columns[column]);
    }
    return fields;
}

QStringList RecordSet::fieldsChangedOnlyThere(const QVariantList &storedNow) const
{
    QStringList fields;
    for (int column = 0; column < m_columns.size() && column < storedNow.size(); ++column) {
        if (column == m_keyColumn || !m_columnStored[size_t(column)])
            continue;
        if (sameValue(m_row[column], m_originalRow[column]) && !sameValue(storedNow[column], m_originalRow[column]))
            fields.append(m_columns[column]);
    }
    return fields;
}

void RecordSet::editAsNewRow()
{
    checkActive();
    if (m_state != DataSetState::Edit)
        return;
    // The row as it was read stays the one a cancel goes back to.
    m_keyBeforeInsert = m_currentKey;
    m_insertBefore = std::nullopt;
    if (m_keyColumn >= 0)
        m_row[m_keyColumn] = QVariant();
    m_modified = true;
    setState(DataSetState::Insert);
}

void RecordSet::post()
{
    checkActive();
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    notifyUpdateData();
    if (beforePost)
        beforePost();
    validateRow();
    const bool inserted = m_state == DataSetState::Insert;
    storeRow();
    m_modified = false;
    fetchCurrentRow();
    if (inserted)
        placeStoredRow();
    setState(DataSetState::Browse);
    notifyRecordChanged(nullptr);
}

void RecordSet::placeStoredRow()
{
    // A new row takes its place in the list: the flags tell whether it is the first or
    // the last, so that the moves that lead away from it are open.
    const qint64 key = *m_currentKey;
    if (!m_cursor->contains(key))
        return;
    m_bof = !m_cursor->prior(key);
    m_eof = !m_cursor->next(key);
}

void RecordSet::cancel()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        m_currentKey = m_keyBeforeInsert;
        m_row = m_originalRow;
    } else if (m_state == DataSetState::Edit) {
        m_row = m_originalRow;
    } else {
        return;
    }
    m_modified = false;
    setState(DataSetState::Browse);
    notifyRecordChanged(nullptr);
}

void RecordSet::checkBrowseMode()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    notifyUpdateData();
    if (!m_modified) {
        cancel();
        return;
    }
    try {
        post();
    } catch (const EPostConflict &) {
        if (!onPostConflict)
            throw;
        onPostConflict();
    }
}

void RecordSet::deleteRecord()
{
    checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    checkWritable();
    if (!m_currentKey)
        refuse(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const qint64 key = *m_currentKey;
    Database *db = m_connection->handle();
    {
        TransactionGuard transaction(db);
        Statement(db, QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?").arg(quoteIdentifier(m_command.baseTable)))
            .execute({key});
        transaction.commit();
    }
    if (m_state == DataSetState::Edit) {
        m_modified = false;
        setState(DataSetState::Browse);
    }
    // The row after the deleted one becomes current, or the one before it at the end.
    std::optional<qint64> successor = m_cursor->next(key);
    const bool atEnd = !successor;
    if (atEnd)
        successor = m_cursor->prior(key);
    m_cursor->keyRemoved(key);
    makeCurrent(successor);
    m_bof = !successor;
    m_eof = atEnd;
    scrolled();
}

void RecordSet::refresh()
{
    checkActive();
    checkBrowseMode();
    const std::optional<qint64> key = m_currentKey;
    std::unique_ptr<KeyCursor> previous = std::move(m_cursor);
    try {
        rebuildCursor(FilterExpression::parse(m_filtered ? m_filter : QString(), m_columns));
    } catch (...) {
        m_cursor = std::move(previous);
        throw;
    }
    if (key && m_cursor->contains(*key)) {
        makeCurrent(key);
        return;
    }
    // A row deleted meanwhile gives way to the one that came after it, or before it at the
    // end of the list, not to the first. The flags are right before anyone hears of the row.
    std::optional<qint64> shown;
    for (const std::optional<qint64> &near : {key ? previous->next(*key) : std::nullopt,
                                              key ? previous->prior(*key) : std::nullopt}) {
        if (near && m_cursor->contains(*near)) {
            shown = near;
            break;
        }
    }
    if (!shown)
        shown = m_cursor->first();
    m_bof = !shown || !m_cursor->prior(*shown);
    m_eof = !shown || !m_cursor->next(*shown);
    makeCurrent(shown);
}
