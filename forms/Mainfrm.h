#pragma once

#include "Connection.h"
#include "DataSource.h"
#include "PostConflictDlg.h"
#include "RecordSet.h"

#include <QMainWindow>
#include <memory>

class BatchedJobRunner;
class ChangeFollower;
class Field;
class NoticeBar;
class QAction;
class QLabel;
class WindowPlacement;
namespace Ui {
class TForm1;
}

// The index of the status-bar panel that shows hints.
constexpr int HintPanelIndex = 1;

// The main window: the speeches of one language, the language selector, the read-only
// switch, the search and the clipboard copy. It owns the connection and its record sets.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window from its stored layout and runs its creation sequence; a failure
    // in that sequence is shown and the window opens all the same.
    explicit TForm1(QWidget *parent = nullptr);
    // Runs the shutdown sequence: the settings are stored and the database let go.
    ~TForm1() override;

    Ui::TForm1 *ui() const { return m_ui.get(); }
    QLabel *statusPanel(int index) const;
    QList<QAction *> actionList() const;
    // A lasting notice from outside the window (the picker's key), shown when nothing weightier is.
    void setOutsideNotice(const QString &notice);
    // The bar that keeps what the user must read until it is closed.
    NoticeBar *noticeBar() const { return m_noticeBar; }

    // The handlers, public so that tests can call them directly and see their failures.
    void FormCreate();
    void FormDestroy();
    void cbLanguageChange();
    void dsSpeechStateChange();
    void DataSetFirstExecute();
    void DataSetPriorExecute();
    void DataSetNextExecute();
    void DataSetLastExecute();
    void DataSetInsertExecute();
    void DataSetDeleteExecute();
    void DataSetEditExecute();
    void DataSetPostExecute();
    void DataSetCancelExecute();
    void DataSetRefreshExecute();
    void tblSpeechAfterScroll();
    void tblSpeechBeforePost();
    void actLanguagesExecute();
    void actHistoryExecute();
    void actRestoreDeletedExecute();
    void actSetReadOnlyExecute();
    void actCopyToClipboardExecute();
    void actFindExecute();
    void actFindNextExecute();
    void actAboutExecute();
    void actOpenLibraryExecute();
    void actNewLibraryExecute();
    void actBringInExecute();
    void actImportExecute();
    void actExportExecute();
    void ApplicationEvents1Hint();

    qint64 currentTaalId() const { return CurrentTaalID; }
    const QString &searchText() const { return SearchText; }
    int searchCount() const { return SearchCount; }

    ::Connection Connection;
    RecordSet tblSpeech;
    RecordSet tblTaal;
    RecordSet tblSearch;
    DataSource dsSpeech;
    Field *tblSpeechID;
    Field *tblSpeechTaalID;
    Field *tblSpeechKeywords;
    Field *tblSpeechTekst;
    Field *tblSpeechComments;
    Field *tblTaalID;
    Field *tblTaalTaal;
    Field *tblSearchID;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createStatusPanels();
    void sizeBands();
    void bindDataControls();
    void connectHandlers();
    void RefreshActionStates();
    void refreshEditActionStates();
    bool clipboardHasText() const;
    void FillLanguageList();
    void readLanguageList(qint64 selectedTaalId);
    void selectedLanguageChanged();
    void selectTypedLanguage(const QString &text);
    void RunKeywordSearch();
    void setDataControlsReadOnly(bool readOnly);
    QString settingsPath() const;
    void setCommentsHeight(int height, int windowHeight);
    void refreshDatabaseActions();
    bool languageIsCurrent() const;
    QString statusNotice() const;
    void showStatusNotice();
    void showBusySign();
    void keepRefusedSpeech();
    void settleRefusedSpeech();
    TPostConflictDialog::Choice settleConflictOfSpeech();
    void offerRecoveredSpeeches();
    void pruneHistory();
    void startDailyBackup();
    void startBackgroundWork();
    void switchLibrary(const QString &dataSource);

    std::unique_ptr<Ui::TForm1> m_ui;
    QObject *m_handlers = new QObject(this); // the receiving end of every connection to a handler
    QList<QLabel *> m_statusPanels;
    WindowPlacement *m_placement = nullptr;

    qint64 CurrentTaalID = 0; // keys are 64-bit, as the database assigns them
    int SearchCount = 0;
    QString SearchText;

    QString m_databasePath;
    bool m_libraryFile = false;   // a library file, not one on a server
    QString m_readOnlyReason;    // why the database cannot be written; empty when it can
    bool m_chosenEditable = true; // the mode the user chose, kept while the database forces read-only
    QString m_statusNotice;      // what the hint panel shows while no hint is shown
    QString m_backupFailure;     // why the day's backup could not be made; empty when it could
    BatchedJobRunner *m_backgroundWork;
    QString m_backgroundNotice;  // how far the work in the background has come, or why it stopped
    QString m_outsideNotice;
    NoticeBar *m_noticeBar;
    ChangeFollower *m_changeFollower = nullptr; // a server library: what others store shows here
};
