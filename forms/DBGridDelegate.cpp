#include "DBGridDelegate.h"

#include "DBGridModel.h"
#include "Field.h"
#include "TDBGrid.h"

#include <QLineEdit>

DBGridDelegate::DBGridDelegate(TDBGrid *grid) : QStyledItemDelegate(grid), m_grid(grid)
{
}

QWidget *DBGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        const Field *field = m_grid->gridModel()->fieldAt(index.column());
        if (field && field->size() > 0)
            line->setMaxLength(field->size());
        line->setFrame(false);
    }
    m_grid->editorOpened(editor);
    return editor;
}
