#include "Languagesdlg.h"
#include "GuardedCall.h"
#include "ui_Languagesdlg.h"

#include "Connection.h"
#include "DatabaseTexts.h"
#include "Field.h"
#include "FontScale.h"
#include "RecordSet.h"
#include "ShortcutFirstFilter.h"
#include "StoredAction.h"
#include "TDBGrid.h"
#include "Wwmsgdlg.h"

#include <QApplication>
#include <QLayout>
#include <QPushButton>
#include <QToolBar>

TLanguagesDialog::TLanguagesDialog(QWidget *owner) : TDialog(owner), m_ui(std::make_unique<Ui::TLanguagesDialog>())
{
    m_ui->setupUi(this);
    applyLayout();
    FontScale::growWindow(this); // its texts show whole in the font in use
    DBGrid1 = m_ui->DBGrid1;
    ToolBar1 = m_ui->ToolBar1;
    DataSetFirst = m_ui->DataSetFirst;
    DataSetPrior = m_ui->DataSetPrior;
    DataSetNext = m_ui->DataSetNext;
    DataSetLast = m_ui->DataSetLast;
    DataSetInsert = m_ui->DataSetInsert;
    DataSetDelete = m_ui->DataSetDelete;
    DataSetEdit = m_ui->DataSetEdit;
    DataSetPost = m_ui->DataSetPost;
    DataSetCancel = m_ui->DataSetCancel;
    DataSetRefresh = m_ui->DataSetRefresh;

    for (QAction *action : actionList())
        applyStoredActionValues(action);
    ToolBar1->layout()->setSpacing(0);
    ToolBar1->layout()->setContentsMargins(0, 0, 0, 0);
    const QList<QAction *> buttons = ToolBar1->actions();
    for (int i = 0; i < buttons.size(); ++i) {
        if (QWidget *button = ToolBar1->widgetForAction(buttons[i])) {
            button->setObjectName(QStringLiteral("ToolButton%1").arg(i + 1));
            button->setFixedSize(23, 22);
        }
    }
    qApp->installEventFilter(new ShortcutFirstFilter(this, actionList()));

    DBGrid1->setDataSource(&DataSource1);
    DBGrid1->setFieldNames({DBGrid1->property("dataField").toString()});
    setTabOrder(DBGrid1, btnOk);

    const std::pair<QAction *, void (TLanguagesDialog::*)()> handlers[] = {
        {DataSetFirst, &TLanguagesDialog::DataSetFirstExecute},   {DataSetPrior, &TLanguagesDialog::DataSetPriorExecute},
        {DataSetNext, &TLanguagesDialog::DataSetNextExecute},     {DataSetLast, &TLanguagesDialog::DataSetLastExecute},
        {DataSetInsert, &TLanguagesDialog::DataSetInsertExecute}, {DataSetDelete, &TLanguagesDialog::DataSetDeleteExecute},
        {DataSetEdit, &TLanguagesDialog::DataSetEditExecute},     {DataSetPost, &TLanguagesDialog::DataSetPostExecute},
        {DataSetCancel, &TLanguagesDialog::DataSetCancelExecute}, {DataSetRefresh, &TLanguagesDialog::DataSetRefreshExecute},
    };
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this,
                [this, handler = handler] { callGuarded([this, handler] { (this->*handler)(); }); });
    connect(&DataSource1, &DataSource::onStateChange, this, [this] { DataSource1StateChange(); });
    connect(&DataSource1, &DataSource::onDataChange, this, [this] { DataSource1DataChange(); });
}

TLanguagesDialog::~TLanguagesDialog()
{
    // Its own data source goes with it; the borrowed record set stays with its owner.
    disconnect(m_scrollListener);
    DataSource1.blockSignals(true);
}

QList<QAction *> TLanguagesDialog::actionList() const
{
    return {DataSetFirst, DataSetPrior, DataSetNext, DataSetLast, DataSetInsert,
            DataSetDelete, DataSetEdit, DataSetPost, DataSetCancel, DataSetRefresh};
}

void TLanguagesDialog::SetDataSet(RecordSet *dataSet)
{
    disconnect(m_scrollListener);
    LanguageSet = dataSet;
    // A move that finds no further row changes only the begin or end flag, which the data
    // source does not report; the scroll event does. The owner's listeners, connected
    // before, are told first.
    if (LanguageSet)
        m_scrollListener = connect(LanguageSet, &RecordSet::afterScroll, this, [this] { RefreshActionStates(); });
    DataSource1.setDataSet(dataSet);
    DataSource1DataChange();
}

void TLanguagesDialog::DataSource1StateChange()
{
    RefreshActionStates();
}

void TLanguagesDialog::DataSource1DataChange()
{
    RefreshActionStates();
}

void TLanguagesDialog::RefreshActionStates()
{
    if (!LanguageSet)
        return;
    const DataSetState state = DataSource1.state();
    const bool editing = state == DataSetState::Edit || state == DataSetState::Insert || state == DataSetState::SetKey;
    const bool readOnly = LanguageSet->lockType() == LockType::ReadOnly;
    const bool atBegin = LanguageSet->bof();
    const bool atEnd = LanguageSet->eof();
    DataSetFirst->setEnabled(!atBegin && !editing);
    DataSetPrior->setEnabled(!atBegin && !editing);
    DataSetNext->setEnabled(!atEnd && !editing);
    DataSetLast->setEnabled(!atEnd && !editing);
    DataSetInsert->setEnabled(!readOnly && !editing);
    DataSetDelete->setEnabled(!readOnly && !editing);
    DataSetEdit->setEnabled(!readOnly && !editing);
    DataSetPost->setEnabled(editing);
    DataSetCancel->setEnabled(editing);
    DataSetRefresh->setEnabled(!readOnly && !editing);
}

void TLanguagesDialog::DataSetFirstExecute() { LanguageSet->first(); }
void TLanguagesDialog::DataSetPriorExecute() { LanguageSet->prior(); }
void TLanguagesDialog::DataSetLastExecute() { LanguageSet->last(); }
void TLanguagesDialog::DataSetNextExecute() { LanguageSet->next(); }

void TLanguagesDialog::DataSetInsertExecute()
{
    LanguageSet->append();
    DBGrid1->setFocus();
}

// The question before a delete; it says how many speeches the language still holds, as
// they are no longer shown once their language is gone.
QString TLanguagesDialog::deleteQuestion()
{
    QString question = QStringLiteral("Are you sure you want to delete this language?");
    if (LanguageSet->isEmpty() || LanguageSet->state() == DataSetState::Insert || !LanguageSet->connection())
        return question;
    const qint64 languageId = LanguageSet->fieldByName(QStringLiteral("ID"))->asLargeInt();
    const int speeches = LanguageSet->connection()->scalar(DatabaseTexts::SpeechCountOfLanguage, {languageId}).toInt();
    if (speeches == 1)
        question += QStringLiteral("\n1 speech filed under it will no longer be shown.");
    else if (speeches > 1)
        question += QStringLiteral("\n%1 speeches filed under it will no longer be shown.").arg(speeches);
    return question;
}

void TLanguagesDialog::DataSetDeleteExecute()
{
    if (YesNo(deleteQuestion(), false, true) == mrYes)
        LanguageSet->deleteRecord();
}

void TLanguagesDialog::DataSetEditExecute()
{
    LanguageSet->edit();
    DBGrid1->setFocus();
}

void TLanguagesDialog::DataSetPostExecute() { LanguageSet->post(); }
void TLanguagesDialog::DataSetCancelExecute() { LanguageSet->cancel(); }
void TLanguagesDialog::DataSetRefreshExecute() { LanguageSet->refresh(); }

void TLanguagesDialog::done(int result)
{
    if (LanguageSet && LanguageSet->active()) {
        // OK keeps a changed row; if the database refuses it, the dialog stays open.
        const bool settled = callGuarded([this, result] {
            if (result == mrOk)
                LanguageSet->checkBrowseMode();
            else
                LanguageSet->cancel();
        });
        if (!settled)
            return;
    }
    TDialog::done(result);
}

void ShowLanguagesDialog(QWidget *owner, RecordSet &languageSet)
{
    TLanguagesDialog dialog(owner);
    dialog.SetDataSet(&languageSet);
    dialog.exec();
}
