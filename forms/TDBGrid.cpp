#include "TDBGrid.h"

#include "GuardedCall.h"

#include "DBGridDelegate.h"
#include "DBGridIndicator.h"
#include "DBGridModel.h"
#include "DataSource.h"
#include "RecordSet.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopeGuard>

TDBGrid::TDBGrid(QWidget *parent) : QTableView(parent), m_model(new DBGridModel(this))
{
    setVerticalHeader(new DBGridIndicator(this));
    setModel(m_model);
    setItemDelegate(new DBGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_model, &DBGridModel::recordSetChanged, this, [this] { followRecordSet(); });
    connect(m_model, &DBGridModel::handOverRequested, this, [this] { handOver(); });
}

TDBGrid::~TDBGrid()
{
    // The editor's last focus change must not reach a record set through a dying grid.
    m_discarding = true;
}

void TDBGrid::setDataSource(DataSource *dataSource)
{
    m_model->setDataSource(dataSource);
}

DataSource *TDBGrid::dataSource() const
{
    return m_model->dataSource();
}

void TDBGrid::setFieldNames(const QStringList &fieldNames)
{
    m_model->setFieldNames(fieldNames);
}

RecordSet *TDBGrid::recordSet() const
{
    return m_model->recordSet();
}

QWidget *TDBGrid::cellEditor() const
{
    return state() == EditingState ? m_editor.data() : nullptr;
}

// Puts the grid's current cell on the record set's current row, and closes the cell
// editor once the row is no longer being edited (stored, dropped or left).
void TDBGrid::followRecordSet()
{
    if (m_following)
        return;
    m_following = true;
    const auto done = qScopeGuard([this] { m_following = false; });
    RecordSet *set = recordSet();
    const bool editing = set && (set->state() == DataSetState::Edit || set->state() == DataSetState::Insert);
    const int row = m_model->currentRow();
    if (QWidget *editor = cellEditor(); editor && (!editing || currentIndex().row() != row)) {
        m_discarding = true;
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        m_discarding = false;
    }
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
        return;
    }
    const QModelIndex target = m_model->index(row, std::max(0, currentIndex().column()));
    if (target != currentIndex())
        setCurrentIndex(target);
    scrollTo(target);
    viewport()->update();
}

void TDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // A row chosen in the grid (click, keys of the view) becomes the record set's row.
    if (!m_following && current.isValid() && current.row() != m_model->currentRow())
        moveToRow(current.row());
}

// Moves the record set to the row shown at row, storing a changed pending row and
// dropping an unchanged new one first.
void TDBGrid::moveToRow(int row)
{
    RecordSet *set = recordSet();
    const auto follow = qScopeGuard([this] { followRecordSet(); });
    if (!set || !set->active())
        return;
    const bool inserting = set->state() == DataSetState::Insert;
    const int newRow = m_model->newRow();
    const int countBefore = set->recordCount();
    set->checkBrowseMode();
    // A dropped new row no longer pushes the rows after it down.
    const bool dropped = inserting && set->recordCount() == countBefore;
    int position = dropped && row > newRow ? row - 1 : row;
    position = std::min(position, set->recordCount() - 1);
    if (position >= 0 && position != set->recNo())
        set->setRecNo(position);
}

void TDBGrid::moveBy(int delta)
{
    RecordSet *set = recordSet();
    if (!set || !set->active())
        return;
    const int row = m_model->currentRow();
    if (delta < 0) {
        if (row <= 0) {
            set->prior(); // tells the record set that it is at its beginning
            return;
        }
        moveToRow(row - 1);
        return;
    }
    if (row >= 0 && row < m_model->rowCount() - 1) {
        moveToRow(row + 1);
        return;
    }
    // Down on the last row: an unchanged new row stays as it is; otherwise a new row
    // follows the last one when the list can be changed.
    handOver();
    if (set->state() == DataSetState::Insert && !set->modified())
        return;
    set->next();
    if (set->eof() && m_model->canModify())
        set->append();
}

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    // A refused store or move is shown here, not unwound through Qt's key handling.
    bool handled = true;
    callGuarded([this, event, &handled] { handled = handleOwnKey(event); });
    if (!handled)
        QTableView::keyPressEvent(event);
}

// The grid's own keys; false when the key is left to the view.
bool TDBGrid::handleOwnKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    RecordSet *set = recordSet();
    if (modifiers == Qt::NoModifier && set && set->active()) {
        switch (event->key()) {
        case Qt::Key_Up:
            moveBy(-1);
            event->accept();
            return true;
        case Qt::Key_Down:
            moveBy(1);
            event->accept();
            return true;
        case Qt::Key_Insert:
            if (m_model->canModify())
                set->insert();
            event->accept();
            return true;
        default:
            break;
        }
    }
    // Typing into an empty grid starts its first row.
    if (set && set->active() && !currentIndex().isValid() && !event->text().isEmpty() && event->text()[0].isPrint()
        && !(modifiers & (Qt::ControlModifier | Qt::AltModifier)) && m_model->canModify())
        set->edit();
    return false;
}

bool TDBGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    RecordSet *set = recordSet();
    QModelIndex target = index;
    // Opening the cell editor puts the row in edit (on an empty list: a new row).
    if (set && index.isValid() && (editTriggers() & trigger) && (m_model->flags(index) & Qt::ItemIsEditable)
        && state() != EditingState && set->state() == DataSetState::Browse) {
        const int column = index.column();
        if (!callGuarded([set] { set->edit(); }))
            return false;
        target = m_model->index(m_model->currentRow(), column);
    }
    return QTableView::edit(target, trigger, event);
}

// Hands the open editor's text to the field before the row is stored or left.
void TDBGrid::handOver()
{
    if (QWidget *editor = cellEditor(); editor && !m_discarding)
        QTableView::commitData(editor);
}

void TDBGrid::commitData(QWidget *editor)
{
    if (m_discarding)
        return;
    QTableView::commitData(editor);
}

void TDBGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == m_editor)
        m_editor = nullptr;
    QTableView::closeEditor(editor, hint);
}

void TDBGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    // Leaving the grid for another control of its window drops an unchanged new row.
    QWidget *now = QApplication::focusWidget();
    RecordSet *set = recordSet();
    if (!now || now == this || isAncestorOf(now) || now->window() != window() || !set || !set->active())
        return;
    if (set->state() == DataSetState::Insert && !set->modified())
        callGuarded([set] { set->cancel(); });
}
