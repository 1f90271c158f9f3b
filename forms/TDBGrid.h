#pragma once

#include <QPointer>
#include <QStringList>
#include <QTableView>

class DataSource;
class DBGridModel;
class RecordSet;

// A data-aware grid: the rows of a data source's record set, one column per bound field,
// a row indicator in front, and cell editing in place. Its current row and the record
// set's current row always follow each other. Its own keys: Up and Down move one row
// (Down on the last row adds a new row at the end, leaving an unchanged new row drops
// it), Ins inserts a row at the current one, typing starts editing the cell and puts the
// row in edit, F2 opens the cell editor.
class TDBGrid : public QTableView
{
    Q_OBJECT

public:
    explicit TDBGrid(QWidget *parent = nullptr);
    ~TDBGrid() override;

    void setDataSource(DataSource *dataSource);
    DataSource *dataSource() const;
    // The fields shown, one column each, titled with their display labels.
    void setFieldNames(const QStringList &fieldNames);
    DBGridModel *gridModel() const { return m_model; }
    // The cell editor, while one is open.
    QWidget *cellEditor() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool handleOwnKey(QKeyEvent *event);
    void focusOutEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class DBGridDelegate;
    RecordSet *recordSet() const;
    void followRecordSet();
    void moveBy(int delta);
    void moveToRow(int row);
    void handOver();
    void editorOpened(QWidget *editor) { m_editor = editor; }

    DBGridModel *m_model;
    QPointer<QWidget> m_editor;
    bool m_following = false;
    bool m_discarding = false;
};
