#include "RecordSet.h"

#include "Connection.h"
#include "DataSource.h"
#include "EDatabaseError.h"
#include "Field.h"
#include "KeyListCursor.h"
#include "Database.h"
#include "KeyRangeCursor.h"
#include "Statement.h"
#include "SqlToken.h"
#include "TransactionGuard.h"


namespace {

const QString KeyColumn = QStringLiteral("ID");

[[noreturn]] void refuse(const QString &message)
{
    throw EDatabaseError(message);
}

} // namespace

RecordSet::RecordSet(Connection *connection)
{
    setConnection(connection);
}

RecordSet::~RecordSet()
{
    const QList<DataSource *> dataSources = m_dataSources;
    for (DataSource *dataSource : dataSources)
        dataSource->setDataSet(nullptr);
    m_cursor.reset();
    m_fetchRow.reset();
    if (m_connection)
        m_connection->detach(this);
}

void RecordSet::setConnection(Connection *connection)
{
    if (active())
        refuse(QStringLiteral("Cannot change the connection of an open record set"));
    if (m_connection)
        m_connection->detach(this);
    m_connection = connection;
    if (m_connection)
        m_connection->attach(this);
}

void RecordSet::setCommandText(const QString &commandText)
{
    if (active())
        refuse(QStringLiteral("Cannot change the command text of an open record set"));
    m_commandText = commandText;
}

void RecordSet::setLockType(LockType lockType)
{
    if (active())
        refuse(QStringLiteral("Cannot change the lock type of an open record set"));
    m_lockType = lockType;
}

void RecordSet::checkActive() const
{
    if (!active())
        refuse(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void RecordSet::checkWritable() const
{
    checkActive();
    if (m_lockType == LockType::ReadOnly)
        refuse(QStringLiteral("Cannot modify a read-only dataset"));
}

// ---- opening and closing

void RecordSet::open()
{
    if (active())
        return;
    if (!m_connection)
        refuse(QStringLiteral("The record set has no connection"));
    Database *db = m_connection->handle();
    SqlCommand command = SqlCommand::fromJet(m_commandText, db->textOrderClause());

    auto fetchRow = std::make_unique<Statement>(
        db, QStringLiteral("SELECT * FROM (%1) AS selection WHERE \"ID\" = ?").arg(command.sql));
    QStringList columns;
    QHash<QString, int> columnIndex;
    for (int i = 0; i < fetchRow->columnCount(); ++i) {
        columns.append(fetchRow->columnName(i));
        columnIndex.insert(columns.last().toLower(), i);
    }
    if (!columnIndex.contains(KeyColumn.toLower()))
        refuse(QStringLiteral("The command text \"%1\" selects no ID field").arg(m_commandText));

    // Column sizes come from the table's declaration, so that a value too long for the
    // column is refused before anything is stored.
    std::vector<int> sizes(size_t(columns.size()), 0);
    std::vector<bool> stored(size_t(columns.size()), false);
    for (const TableColumn &tableColumn : db->tableColumns(command.baseTable)) {
        const auto found = columnIndex.constFind(tableColumn.name.toLower());
        if (found != columnIndex.constEnd()) {
            sizes[size_t(*found)] = tableColumn.declaredSize;
            stored[size_t(*found)] = true;
        }
    }

    m_command = std::move(command);
    m_columns = columns;
    m_columnIndex = columnIndex;
    m_columnSizes = sizes;
    m_columnStored = stored;
    m_keyColumn = columnIndex.value(KeyColumn.toLower());
    m_fetchRow = std::move(fetchRow);
    try {
        rebuildCursor(FilterExpression::parse(m_filtered ? m_filter : QString(), m_columns));
    } catch (...) {
        m_fetchRow.reset();
        m_columns.clear();
        m_columnIndex.clear();
        throw;
    }
    m_modified = false;
    const std::optional<qint64> firstKey = m_cursor->first();
    m_currentKey = firstKey;
    fetchCurrentRow();
    m_bof = true;
    m_eof = !firstKey;
    setState(DataSetState::Browse);
    notifyRecordChanged(nullptr);
    scrolled();
}

void RecordSet::rebuildCursor(const FilterExpression &filter)
{
    const QString keysSql = QStringLiteral("SELECT \"ID\" FROM (%1) AS selection WHERE (%2)")
                                .arg(m_command.sql, filter.isEmpty() ? QStringLiteral("1") : filter.sql());
    const QVariantList values = m_command.values + filter.values();
    Database *db = m_connection->handle();
    // A whole table is walked key by key; a selection (a search) is read at once, as a
    // list, in its own order or else in the order of the keys. The keyword search asks the
    // keyword index first, which finds the same keys without reading every keyword.
    std::optional<std::vector<qint64>> indexedKeys;
    if (!m_command.ordered && m_command.selective && filter.isEmpty())
        indexedKeys = db->findKeywords(m_command);
    if (indexedKeys)
        m_cursor = std::make_unique<KeyListCursor>(std::move(*indexedKeys));
    else if (m_command.ordered)
        m_cursor = std::make_unique<KeyListCursor>(db, keysSql, values, KeyListCursor::AsSelected);
    else if (m_command.selective)
        m_cursor = std::make_unique<KeyListCursor>(db, keysSql, values, KeyListCursor::ByKey);
    else
        m_cursor = std::make_unique<KeyRangeCursor>(db, keysSql, values);
}

void RecordSet::close()
{
    if (!active())
        return;
    m_cursor.reset();
    m_fetchRow.reset();
    m_currentKey.reset();
    m_row.clear();
    m_originalRow.clear();
    m_modified = false;
    m_bof = m_eof = true;
    setState(DataSetState::Inactive);
    notifyRecordChanged(nullptr);
}

void RecordSet::closeForConnection()
{
    close();
}

// ---- notification

void RecordSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    const QList<DataSource *> dataSources = m_dataSources;
    for (DataSource *dataSource : dataSources)
        dataSource->stateChanged();
}

void RecordSet::notifyRecordChanged(Field *field)
{
    const QList<DataSource *> dataSources = m_dataSources;
    for (DataSource *dataSource : dataSources)
        dataSource->recordChanged(field);
}

void RecordSet::notifyUpdateData()
{
    const QList<DataSource *> dataSources = m_dataSources;
    for (DataSource *dataSource : dataSources)
        dataSource->updateData();
}

void RecordSet::scrolled()
{
    if (afterScroll)
        afterScroll();
}

void RecordSet::addDataSource(DataSource *dataSource)
{
    if (!m_dataSources.contains(dataSource))
        m_dataSources.append(dataSource);
}

void RecordSet::removeDataSource(DataSource *dataSource)
{
    m_dataSources.removeAll(dataSource);
}

// ---- the current row

void RecordSet::fetchCurrentRow()
{
    m_row = QVariantList(m_columns.size());
    if (!m_currentKey)
        return;
    m_fetchRow->reset();
    m_fetchRow->bindAll(commandValuesWith({*m_currentKey}));
    if (m_fetchRow->step()) {
        for (int i = 0; i < m_columns.size(); ++i)
            m_row[i] = m_fetchRow->columnValue(i);
    }
    m_fetchRow->reset();
}

QVariantList RecordSet::commandValuesWith(const QVariantList &more) const
{
    return m_command.values + more;
}

void RecordSet::makeCurrent(std::optional<qint64> key)
{
    m_currentKey = key;
    fetchCurrentRow();
    notifyRecordChanged(nullptr);
}

bool RecordSet::isEmpty() const
{
    return !m_currentKey && m_state != DataSetState::Insert;
}

int RecordSet::recordCount() const
{
    return m_cursor ? m_cursor->count() : 0;
}

int RecordSet::columnIndex(const QString &fieldName) const
{
    return m_columnIndex.value(fieldName.toLower(), -1);
}

QVariant RecordSet::fieldValue(const QString &fieldName) const
{
    const int column = columnIndex(fieldName);
    if (column < 0 || column >= m_row.size())
        return QVariant();
    return m_row[column];
}

int RecordSet::fieldSize(const QString &fieldName) const
{
    const int column = columnIndex(fieldName);
    return column < 0 ? 0 : m_columnSizes[size_t(column)];
}

void RecordSet::setFieldValue(const QString &fieldName, const QVariant &value)
{
    checkActive();
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        refuse(QStringLiteral("Dataset not in edit or insert mode"));
    const int column = columnIndex(fieldName);
    if (column < 0)
        refuse(QStringLiteral("Field '%1' not found").arg(fieldName));
    if (column == m_keyColumn)
        refuse(QStringLiteral("Field '%1' cannot be modified").arg(m_columns[column]));
    const int size = m_columnSizes[size_t(column)];
    if (size > 0 && value.typeId() == QMetaType::QString && value.toString().size() > size)
        refuse(QStringLiteral("Field '%1' holds at most %2 characters").arg(m_columns[column]).arg(size));
    m_row[column] = value;
    m_modified = true;
    notifyRecordChanged(fieldByName(m_columns[column]));
}

Field *RecordSet::fieldByName(const QString &fieldName)
{
    auto &field = m_fields[fieldName.toLower()];
    if (!field)
        field = std::make_unique<Field>(this, fieldName);
    return field.get();
}

// ---- moves

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
    m_fetchRow->bindAll(commandValuesWith({*key}));
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

// ---- edits

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

void RecordSet::storeRow()
{
    Database *db = m_connection->handle();
    const QString table = quoteIdentifier(m_command.baseTable);
    QStringList names;
    QVariantList values;
    for (int column = 0; column < m_columns.size(); ++column) {
        if (column == m_keyColumn)
            continue;
        if (m_state == DataSetState::Edit && m_row[column] == m_originalRow[column]
            && m_row[column].isNull() == m_originalRow[column].isNull())
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
        unchanged.append(db->sameValueCondition(quoteIdentifier(m_columns[column])));
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
        refuse(QStringLiteral("Cannot store the row: someone else changed it after it was read here. "
                              "Your changes are still shown; cancel them and refresh to see the other change"));
    refuse(QStringLiteral("Cannot store the row: someone else deleted it after it was read here. "
                          "Your changes are still shown"));
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
    if (m_modified)
        post();
    else
        cancel();
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
    rebuildCursor(FilterExpression::parse(m_filtered ? m_filter : QString(), m_columns));
    if (key && m_cursor->contains(*key)) {
        makeCurrent(key);
    } else {
        // The flags are right before anyone hears of the new row.
        const std::optional<qint64> first = m_cursor->first();
        m_bof = true;
        m_eof = !first;
        makeCurrent(first);
    }
}

// ---- filter

void RecordSet::setFilter(const QString &filter)
{
    if (filter == m_filter)
        return;
    if (!active() || !m_filtered) {
        m_filter = filter;
        return;
    }
    const FilterExpression parsed = FilterExpression::parse(filter, m_columns);
    checkBrowseMode();
    m_filter = filter;
    rebuildCursor(parsed);
    first();
}

void RecordSet::setFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (!active()) {
        m_filtered = filtered;
        return;
    }
    const FilterExpression parsed = FilterExpression::parse(filtered ? m_filter : QString(), m_columns);
    checkBrowseMode();
    m_filtered = filtered;
    rebuildCursor(parsed);
    first();
}
