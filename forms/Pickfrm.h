#pragma once

#include "SpeechTextSearch.h"

#include <QHash>
#include <QWidget>
#include <functional>
#include <memory>

class Connection;
class PickerSearch;
namespace Ui {
class TPickForm;
}

// The picker: a small window on top of every other, where the user types words of a speech,
// chooses one of the speeches found with Up and Down, and puts its text on the clipboard with
// Enter, as F4 does, which also closes it; Esc closes it. Ctrl+L switches between the main
// window's language and all languages.
class TPickForm : public QWidget
{
    Q_OBJECT

public:
    // connection is the main window's; selectedLanguage tells the language it shows (0: none).
    TPickForm(Connection &connection, std::function<qint64()> selectedLanguage);
    ~TPickForm() override;

    Ui::TPickForm *ui() const { return m_ui.get(); }

    // Shows the picker on the screen under the mouse, in front, with the last words selected.
    void open();
    // Enter pastes into the window the user came from (the hint says so) instead of only copying.
    void setPastesAfterCopy(bool pastes);
    // Enter pastes into a terminal: the speech goes without control characters, and one with
    // line ends, which would run commands there, only once the user says so.
    void setPastesIntoTerminal(bool terminal) { m_pastesIntoTerminal = terminal; }

signals:
    // A speech went to the clipboard and the picker closed.
    void copied();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void showMatches(const std::vector<SpeechMatch> &matches);
    void showChosenText();
    void moveChoice(int step);
    void copyChosen();
    bool confirmTerminalPaste(const QString &text);
    void placeUnderMouse();
    void readLanguageNames();
    const QString &keysHint() const;

    std::unique_ptr<Ui::TPickForm> m_ui;
    Connection &m_connection;
    std::function<qint64()> m_selectedLanguage;
    std::unique_ptr<PickerSearch> m_search;
    QString m_searchConnection; // the connection string the search was made for
    std::vector<SpeechMatch> m_matches;
    QHash<qint64, QString> m_languageNames; // read at each opening: names may change meanwhile
    bool m_searchPending = false; // the list does not yet answer the words typed last
    bool m_copyOnArrival = false; // Enter came while it did not
    bool m_pastesAfterCopy = false;
    bool m_pastesIntoTerminal = false;
};
