#include "DBGridModel.h"

#include "GuardedCall.h"

#include "DataSource.h"
#include "Field.h"
#include "RecordSet.h"

DBGridModel::DBGridModel(QObject *parent) : QAbstractTableModel(parent)
{
}

DBGridModel::~DBGridModel()
{
    if (m_dataSource)
        m_dataSource->removeLink(this);
}

void DBGridModel::setDataSource(DataSource *dataSource)
{
    if (m_dataSource == dataSource)
        return;
    if (m_dataSource)
        m_dataSource->removeLink(this);
    m_dataSource = dataSource;
    if (m_dataSource)
        m_dataSource->addLink(this);
    update();
}

RecordSet *DBGridModel::recordSet() const
{
    return m_dataSource ? m_dataSource->dataSet() : nullptr;
}

void DBGridModel::setFieldNames(const QStringList &fieldNames)
{
    beginResetModel();
    m_fieldNames = fieldNames;
    endResetModel();
    update();
}

Field *DBGridModel::fieldAt(int column) const
{
    RecordSet *set = recordSet();
    if (!set || column < 0 || column >= m_fieldNames.size())
        return nullptr;
    return set->fieldByName(m_fieldNames[column]);
}

int DBGridModel::countRows() const
{
    RecordSet *set = recordSet();
    if (!set || !set->active())
        return 0;
    return set->recordCount() + (set->state() == DataSetState::Insert ? 1 : 0);
}

int DBGridModel::newRow() const
{
    RecordSet *set = recordSet();
    return set && set->active() ? set->newRowPosition() : -1;
}

int DBGridModel::currentRow() const
{
    RecordSet *set = recordSet();
    if (!set || !set->active())
        return -1;
    const int inserted = set->newRowPosition();
    return inserted >= 0 ? inserted : set->recNo();
}

int DBGridModel::recordPosition(int row) const
{
    const int inserted = newRow();
    if (inserted < 0 || row < inserted)
        return row;
    return row == inserted ? -1 : row - 1;
}

bool DBGridModel::canModify() const
{
    RecordSet *set = recordSet();
    return set && set->active() && set->lockType() != LockType::ReadOnly;
}

DBGridModel::Indicator DBGridModel::indicatorAt(int row) const
{
    if (row < 0 || row != currentRow())
        return Indicator::None;
    switch (recordSet()->state()) {
    case DataSetState::Edit:
        return Indicator::Editing;
    case DataSetState::Insert:
        return Indicator::Inserting;
    default:
        return Indicator::Current;
    }
}

int DBGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DBGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fieldNames.size());
}

QVariant DBGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    Field *field = fieldAt(index.column());
    if (!field)
        return QVariant();
    // The current row may hold changes not stored yet; the others are read as stored.
    if (index.row() == currentRow())
        return field->asString();
    const QVariant stored = recordSet()->valueAt(recordPosition(index.row()), field->fieldName());
    return stored.isNull() ? QString() : stored.toString();
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QString(); // the indicator column has no text of its own
    Field *field = fieldAt(section);
    return field ? field->displayLabel() : QVariant(m_fieldNames.value(section));
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    Field *field = fieldAt(index.column());
    if (canModify() && field && !field->isReadOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DBGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    RecordSet *set = recordSet();
    if (role != Qt::EditRole || !set || index.row() != currentRow()
        || (set->state() != DataSetState::Edit && set->state() != DataSetState::Insert))
        return false;
    Field *field = fieldAt(index.column());
    if (!field)
        return false;
    // Closing an editor whose text was not changed is no change of the row.
    if (field->asString() == value.toString())
        return true;
    // Qt's own code calls this: a refused value is shown here and the cell keeps its text.
    return callGuarded([field, &value] { field->setAsString(value.toString()); });
}

void DBGridModel::update()
{
    const int rows = countRows();
    if (rows != m_rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, std::max(0, columnCount() - 1)));
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
    emit recordSetChanged();
}

void DBGridModel::stateChanged()
{
    update();
}

void DBGridModel::recordChanged(Field *field)
{
    if (!field) {
        update();
        return;
    }
    const int row = currentRow();
    for (int column = 0; column < m_fieldNames.size(); ++column) {
        if (row >= 0 && row < m_rows && m_fieldNames[column].compare(field->fieldName(), Qt::CaseInsensitive) == 0)
            emit dataChanged(index(row, column), index(row, column));
    }
}

void DBGridModel::updateData()
{
    emit handOverRequested();
}

void DBGridModel::dataSourceDestroyed()
{
    m_dataSource = nullptr;
    update();
}
