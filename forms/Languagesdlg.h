#pragma once

#include "DataSource.h"
#include "Dlg.h"

#include <QMetaObject>

class QAction;
class QToolBar;
class RecordSet;
class TDBGrid;
namespace Ui {
class TLanguagesDialog;
}

// Maintains the list of languages in a one-column grid with a tool bar of record actions.
// It borrows the language record set of its caller and owns no database objects.
class TLanguagesDialog : public TDialog
{
    Q_OBJECT

public:
    explicit TLanguagesDialog(QWidget *owner);
    ~TLanguagesDialog() override;

    // Binds the dialog to an open language record set, which it never frees.
    void SetDataSet(RecordSet *dataSet);

    TDBGrid *DBGrid1;
    ::DataSource DataSource1;
    QToolBar *ToolBar1;
    QAction *DataSetFirst;
    QAction *DataSetPrior;
    QAction *DataSetNext;
    QAction *DataSetLast;
    QAction *DataSetInsert;
    QAction *DataSetDelete;
    QAction *DataSetEdit;
    QAction *DataSetPost;
    QAction *DataSetCancel;
    QAction *DataSetRefresh;

    // The handlers, public so that tests can call them directly and see their failures.
    void DataSetFirstExecute();
    void DataSetPriorExecute();
    void DataSetLastExecute();
    void DataSetNextExecute();
    void DataSetInsertExecute();
    void DataSetDeleteExecute();
    void DataSetEditExecute();
    void DataSetPostExecute();
    void DataSetCancelExecute();
    void DataSetRefreshExecute();
    void DataSource1StateChange();
    void DataSource1DataChange();

    QList<QAction *> actionList() const;

public slots:
    // OK keeps a row still being inserted or edited when it was changed; the close box
    // drops it. A row that cannot be stored keeps the dialog open.
    void done(int result) override;

private:
    void RefreshActionStates();
    QString deleteQuestion();

    std::unique_ptr<Ui::TLanguagesDialog> m_ui;
    RecordSet *LanguageSet = nullptr;
    QMetaObject::Connection m_scrollListener; // to the borrowed set's scroll, let go with the set
};

// Shows the languages dialog over languageSet, an open record set of the languages, and
// leaves it open when the dialog ends.
void ShowLanguagesDialog(QWidget *owner, RecordSet &languageSet);
