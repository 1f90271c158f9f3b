#pragma once

#include "DataLink.h"

#include <QAbstractTableModel>
#include <QStringList>

class DataSource;
class Field;
class RecordSet;

// The rows of a record set as a table, one column per bound field, for the data-aware
// grid. Stored rows are read by position without moving the cursor; the current row is
// read from the record set's own buffer, so that a pending change shows, and a row being
// inserted shows where the record set will put it.
class DBGridModel : public QAbstractTableModel, public DataLink
{
    Q_OBJECT

public:
    // What the row indicator shows beside a row.
    enum class Indicator { None, Current, Editing, Inserting };

    explicit DBGridModel(QObject *parent = nullptr);
    ~DBGridModel() override;

    void setDataSource(DataSource *dataSource);
    DataSource *dataSource() const { return m_dataSource; }
    RecordSet *recordSet() const;
    void setFieldNames(const QStringList &fieldNames);
    const QStringList &fieldNames() const { return m_fieldNames; }
    Field *fieldAt(int column) const;

    // The row shown as current (the row being inserted while there is one); -1 for none.
    int currentRow() const;
    // The row being inserted, -1 when there is none.
    int newRow() const;
    // The record set's position of the stored row shown in a row; -1 for the new row.
    int recordPosition(int row) const;
    // Rows may be changed: the record set is open and not read-only.
    bool canModify() const;
    Indicator indicatorAt(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Writes the current row's field; refused unless the row is being edited or inserted.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    void stateChanged() override;
    void recordChanged(Field *field) override;
    void updateData() override;
    void dataSourceDestroyed() override;

signals:
    // The record set moved, changed state or changed its rows; the view follows it.
    void recordSetChanged();
    // The row is about to be stored or left: an open cell editor hands over its text.
    void handOverRequested();

private:
    int countRows() const;
    void update();

    DataSource *m_dataSource = nullptr;
    QStringList m_fieldNames;
    int m_rows = 0;
};
