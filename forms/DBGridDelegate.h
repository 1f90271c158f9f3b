#pragma once

#include <QStyledItemDelegate>

class TDBGrid;

// The cell editor of the data-aware grid: a line edit that holds no more characters than
// the field does, made known to the grid while it is open.
class DBGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DBGridDelegate(TDBGrid *grid);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TDBGrid *m_grid;
};
