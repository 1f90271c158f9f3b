#pragma once

#include "Connection.h"
#include "DataSource.h"
#include "RecordSet.h"

#include <QMainWindow>
#include <memory>

class Field;
class QLabel;
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

    // The creation and shutdown sequences, public so that tests can run them and see
    // their failures.
    void FormCreate();
    void FormDestroy();

    void cbLanguageChange();
    void actSetReadOnlyExecute();

    int currentTaalId() const { return CurrentTaalID; }

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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FillLanguageList();
    QString settingsPath() const;
    void setCommentsHeight(int height);

    std::unique_ptr<Ui::TForm1> m_ui;
    QList<QLabel *> m_statusPanels;

    int CurrentTaalID = 0;
    int SearchCount = 0;
    QString SearchText;
};
