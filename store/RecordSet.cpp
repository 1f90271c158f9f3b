#include "RecordSet.h"

#include "Connection.h"
#include "DataSource.h"
#include "Database.h"
#include "EDatabaseError.h"
#include "Field.h"
#include "KeyListCursor.h"
#include "KeywordQuery.h"
#include "KeyRangeCursor.h"
#include "SqlToken.h"
#include "Statement.h"

namespace {

const QString KeyColumn = QStringLiteral("ID");

} // namespace

void RecordSet::refuse(const QString &message)
{
    throw EDatabaseError(message);
}

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

    // A keyword search's rows are fetched by their key alone: the search chose the keys (by
    // the folded pattern), and a server's own Like would not fold letter case as it does.
    const bool keywordSearch = KeywordQuery::recognize(command).has_value();
    auto fetchRow = std::make_unique<Statement>(
        db, QStringLiteral("SELECT * FROM %1 AS selection WHERE \"ID\" = ?")
                .arg(keywordSearch ? quoteIdentifier(command.baseTable) : QLatin1Char('(') + command.sql + QLatin1Char(')')));
    m_fetchValues = keywordSearch ? QVariantList() : command.values;
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
                                .arg(m_command.sql, filter.isEmpty() ? QStringLiteral("1 = 1") : filter.sql());
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
    emit afterScroll();
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
    m_fetchRow->bindAll(m_fetchValues + QVariantList{*m_currentKey});
    if (m_fetchRow->step()) {
        for (int i = 0; i < m_columns.size(); ++i)
            m_row[i] = m_fetchRow->columnStoredValue(i);
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
