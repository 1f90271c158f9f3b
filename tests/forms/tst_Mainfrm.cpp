#include "Field.h"
#include "Historydlg.h"
#include "Languagesdlg.h"
#include "ui_Historydlg.h"
#include "MainWindowFixture.h"
#include "ModalDialogHelper.h"
#include "NoticeBar.h"
#include "KeyNames.h"
#include "ShortCuts.h"
#include "TestMain.h"

#include "ModalResults.h"
#include "TButton.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <map>
#include <sqlite3.h>

namespace {

// Which of the ten record actions are enabled, as a string of ten 0s and 1s in the order
// First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh.
QString recordActionStates(const Ui::TForm1 *ui)
{
    QString states;
    for (const QAction *action : {ui->DataSetFirst, ui->DataSetPrior, ui->DataSetNext, ui->DataSetLast,
                                  ui->DataSetInsert, ui->DataSetDelete, ui->DataSetEdit, ui->DataSetPost,
                                  ui->DataSetCancel, ui->DataSetRefresh})
        states += action->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return states;
}

// A speech left in edit or insert, changed or not.
void addPendingRowCases()
{
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("change");
    QTest::newRow("changed edit") << false << true;
    QTest::newRow("changed insert") << true << true;
    QTest::newRow("unchanged insert") << true << false;
}

} // namespace

class tst_Mainfrm : public QObject
{
    Q_OBJECT

private slots:
    void deletedSpeechComesBackThroughTheMenu();
    void historyOfSpeechesDeletedLongAgoGoesOnceTheWindowIsUp();
    void historyTellsVersionsApartByWhatChanged();
    void speechesGoOutAndComeInThroughTheFileMenu();
    void shortcutValues_data();
    void shortcutValues();
    void everyActionHasItsPictureHintAndShortcut();
    void recordActionStatesFollowMoves();
    void recordActionStatesWithoutSpeechesAndReadOnly();
    void readOnlyModeStoresNothingThroughTheMenus();
    void pageKeysMoveOrScrollTheMemo();
    void escCancelsAndCtrlEnterPostsFromAMemo();
    void postOverAnotherUsersChangeKeepsTheText_data();
    void postOverAnotherUsersChangeKeepsTheText();
    void leavingASpeechAnotherUserChangedAsksWhatToKeep_data();
    void leavingASpeechAnotherUserChangedAsksWhatToKeep();
    void lostConnectionKeepsTheTextAndTheNextPostStores();
    void othersChangesShowWithoutTouchingTheTypedText();
    void rolesThatMayNotWriteOpenReadOnly_data();
    void rolesThatMayNotWriteOpenReadOnly();
    void refreshShowsOtherUsersLanguages();
    void insertIsStampedWithTheSelectedLanguage();
    void deleteRemovesAtOnce();
    void languageChangeStoresChangedSpeechUnderNewLanguage_data();
    void languageChangeStoresChangedSpeechUnderNewLanguage();
    void languagesOfTheSameNameKeepTheirOwnSpeeches();
    void keywordsTakeAtMostFiftyCharacters();
    void readOnlySwitchTwiceEndsOnSameSpeech();
    void readOnlySwitchKeepsWhatWasTyped_data();
    void readOnlySwitchKeepsWhatWasTyped();
    void closingStoresChangedSpeech_data();
    void closingStoresChangedSpeech();
    void editKeysActInTextControlsOnly();
    void commentsPaneKeepsHeightAndCollapses();
    void typingIntoTheSelector();
    void changesThatAreNoKeysReachTheDatabase_data();
    void changesThatAreNoKeysReachTheDatabase();
    void changeTheRecordSetCannotTakeIsUndone();
    void storedNewSpeechTakesItsPlaceInTheList();
    void tabMovesTheFocusInLayoutOrder();
    void menusNameTheKeysTheLayoutsWay_data();
    void menusNameTheKeysTheLayoutsWay();
    void bandsStayOnTheBandBar();
    void lockedDatabaseIsNamedAndTheWaitShows();
};

void tst_Mainfrm::shortcutValues_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("keys");
    QTest::newRow("Ctrl+X") << 16472 << "Ctrl+X";
    QTest::newRow("Ctrl+C") << 16451 << "Ctrl+C";
    QTest::newRow("Ctrl+V") << 16470 << "Ctrl+V";
    QTest::newRow("Ctrl+A") << 16449 << "Ctrl+A";
    QTest::newRow("Ctrl+Z") << 16474 << "Ctrl+Z";
    QTest::newRow("Ctrl+F") << 16454 << "Ctrl+F";
    QTest::newRow("Del") << 46 << "Del";
    QTest::newRow("Ctrl+PgUp") << 16417 << "Ctrl+PgUp";
    QTest::newRow("PgUp") << 33 << "PgUp";
    QTest::newRow("PgDn") << 34 << "PgDn";
    QTest::newRow("Ctrl+PgDn") << 16418 << "Ctrl+PgDn";
    QTest::newRow("Ctrl+Ins") << 16429 << "Ctrl+Ins";
    QTest::newRow("Ctrl+Del") << 16430 << "Ctrl+Del";
    QTest::newRow("F2") << 113 << "F2";
    QTest::newRow("F3") << 114 << "F3";
    QTest::newRow("F4") << 115 << "F4";
    QTest::newRow("F5") << 116 << "F5";
    QTest::newRow("Ctrl+Enter") << 16397 << "Ctrl+Enter";
    QTest::newRow("Esc") << 27 << "Esc";
    QTest::newRow("Shift+Alt+F1") << (0x2000 | 0x8000 | 0x70) << "Alt+Shift+F1";
    QTest::newRow("none") << 0 << "";
}

void tst_Mainfrm::shortcutValues()
{
    QFETCH(int, value);
    QFETCH(QString, keys);
    const QList<QKeySequence> sequences = shortCutToKeySequences(value);
    KeyNames names;
    QCoreApplication::installTranslator(&names);
    QCOMPARE(sequences.value(0).toString(QKeySequence::NativeText), keys); // the text a menu shows
}

void tst_Mainfrm::everyActionHasItsPictureHintAndShortcut()
{
    MainWindowFixture f;
    int withPicture = 0;
    for (QAction *action : f.form->actionList()) {
        if (action->objectName().isEmpty())
            continue;
        const int index = action->property("imageIndex").toInt();
        QCOMPARE(action->icon().isNull(), index < 0);
        if (index >= 0) {
            QVERIFY2(!action->icon().pixmap(16, 16).isNull(), qPrintable(action->objectName()));
            ++withPicture;
        }
    }
    QCOMPARE(withPicture, 18);
    QCOMPARE(f.ui()->actFind->toolTip(), QStringLiteral("Find"));
    QCOMPARE(f.ui()->DataSetFirst->toolTip(), QStringLiteral("First"));
    QCOMPARE(f.ui()->DataSetPost->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));
    QCOMPARE(f.form->findChild<QWidget *>(QStringLiteral("ToolButton10"))->property("toolTip").toString(),
             QStringLiteral("Refresh"));
}

void tst_Mainfrm::recordActionStatesFollowMoves()
{
    MainWindowFixture f;
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("English"));
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("0011111001"));
    f.focus(f.ui()->dbmTekst);
    f.press(Qt::Key_PageDown);
    f.press(Qt::Key_PageDown);
    QCOMPARE(f.currentId(), f.english[2]);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1111111001")); // no move has failed yet
    f.press(Qt::Key_PageDown);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1100111001"));
    f.press(Qt::Key_PageUp);
    f.press(Qt::Key_PageUp);
    QCOMPARE(f.currentId(), f.english[0]);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1111111001"));
    f.press(Qt::Key_PageUp);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("0011111001"));
    f.press(Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(f.currentId(), f.english[2]);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1100111001"));
    f.press(Qt::Key_F2);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("0000000110")); // editing: Post and Cancel only

    // One speech: the end flag is not set until a move fails.
    f.ui()->cbLanguage->setCurrentIndex(0);
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("Deutsch"));
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("0011111001"));
}

void tst_Mainfrm::recordActionStatesWithoutSpeechesAndReadOnly()
{
    {
        MainWindowFixture f;
        f.ui()->cbLanguage->setCurrentIndex(2);
        QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("Leeg"));
        QVERIFY(f.form->tblSpeech.isEmpty());
        QCOMPARE(recordActionStates(f.ui()), QStringLiteral("0000111001"));
    }
    MainWindowFixture f(true);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("0011000000"));
    QVERIFY(f.ui()->dbmTekst->isReadOnly());
    f.focus(f.ui()->dbmTekst);
    f.type(QStringLiteral("x"));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    QCOMPARE(f.ui()->dbmTekst->toPlainText(), QStringLiteral("Hello there"));
}

// Import, restore and language changes wait, as the record actions do, until Read-Only is
// turned off; the hints say why, and the dialogs that can still be opened only show.
void tst_Mainfrm::readOnlyModeStoresNothingThroughTheMenus()
{
    MainWindowFixture f(true);
    f.db.execute(QStringLiteral("update Speeches set Tekst = 'Hello again' where ID = %1").arg(f.currentId()));
    for (const QAction *storing : {f.ui()->actImport, f.ui()->actRestoreDeleted}) {
        QVERIFY2(!storing->isEnabled(), qPrintable(storing->objectName()));
        QVERIFY(storing->property("hint").toString().contains(QLatin1String("Read-Only is on")));
    }
    answerNextModal([](QWidget *widget) {
        auto *dialog = qobject_cast<THistoryDialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->ui()->lvVersions->topLevelItemCount(), 1);
        QVERIFY(!dialog->ui()->btnRestore->isEnabled());
        dialog->reject();
    });
    f.ui()->actHistory->trigger();
    answerNextModal([](QWidget *widget) {
        auto *dialog = qobject_cast<TLanguagesDialog *>(widget);
        QVERIFY(dialog);
        QVERIFY(!dialog->DataSetInsert->isEnabled());
        QVERIFY(!dialog->DataSetEdit->isEnabled());
        dialog->btnOk->click();
    });
    f.ui()->actLanguages->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());

    f.ui()->actSetReadOnly->trigger();
    for (const QAction *storing : {f.ui()->actImport, f.ui()->actRestoreDeleted}) {
        QVERIFY(storing->isEnabled());
        QVERIFY(!storing->property("hint").toString().contains(QLatin1String("Read-Only")));
    }
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
}

void tst_Mainfrm::pageKeysMoveOrScrollTheMemo()
{
    MainWindowFixture f;
    f.db.execute(QStringLiteral("update Speeches set Tekst = '%1' where ID = %2")
                     .arg(QStringList(QList<QString>(200, QStringLiteral("line"))).join(QLatin1Char('\n')))
                     .arg(f.english[2]));
    f.ui()->DataSetRefresh->trigger();
    f.focus(f.ui()->dbmTekst);
    f.press(Qt::Key_PageDown);
    QCOMPARE(f.currentId(), f.english[1]);
    QCOMPARE(f.ui()->dbmTekst->toPlainText(), QStringLiteral("Thank you"));
    f.press(Qt::Key_PageDown);
    f.press(Qt::Key_PageDown); // fails: the end flag is set
    QCOMPARE(f.currentId(), f.english[2]);
    QScrollBar *scroll = f.ui()->dbmTekst->verticalScrollBar();
    const int top = scroll->value();
    f.press(Qt::Key_PageDown); // Next is disabled now: the memo scrolls
    QCOMPARE(f.currentId(), f.english[2]);
    QVERIFY(scroll->value() > top);
}

void tst_Mainfrm::escCancelsAndCtrlEnterPostsFromAMemo()
{
    MainWindowFixture f;
    f.focus(f.ui()->dbmComments);
    f.type(QStringLiteral("X"));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Edit);
    f.press(Qt::Key_Escape);
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    QCOMPARE(f.ui()->dbmComments->toPlainText(), QStringLiteral("c1"));

    f.press(Qt::Key_End, Qt::ControlModifier);
    f.type(QStringLiteral("!"));
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    QCOMPARE(f.db.text(QStringLiteral("select Comments from Speeches where ID = %1").arg(f.english[0])), QStringLiteral("c1!"));
}

void tst_Mainfrm::postOverAnotherUsersChangeKeepsTheText_data()
{
    QTest::addColumn<QString>("elsewhere");
    QTest::addColumn<QString>("button"); // none: no question
    QTest::addColumn<QString>("stored"); // the language's speeches afterwards, in order of ID
    QTest::addColumn<QString>("shown");  // the speech the window shows afterwards
    // The comments of the second of three speeches are edited.
    const QString first = QStringLiteral("hello|Hello there|c1 ");
    const QString last = QStringLiteral(" bye|Goodbye|c3");
    const QString mine = QStringLiteral("thanks|Thank you|mine c2");
    const QString theirs = QStringLiteral("thanks|Thank you|theirs");
    const QString sameField = QStringLiteral("update Speeches set Comments = 'theirs'");
    QTest::newRow("changed, mine over theirs") << sameField << "btnStoreOver" << first + mine + last << mine;
    QTest::newRow("changed, mine as new") << sameField << "btnStoreAsNew" << first + theirs + last + " " + mine << mine;
    QTest::newRow("changed, dropped") << sameField << "btnDrop" << first + theirs + last << theirs;
    QTest::newRow("deleted, mine as new") << "delete from Speeches" << "btnStoreAsNew"
        << first.trimmed() + last + " " + mine << mine;
    // Dropped, the deleted speech gives way to the one after it, not to the first.
    QTest::newRow("deleted, dropped") << "delete from Speeches" << "btnDrop" << first.trimmed() + last
                                      << "bye|Goodbye|c3";
    QTest::newRow("changed, kept editing") << sameField << "btnKeepEditing" << first + theirs + last << mine;
    QTest::newRow("another field changed: both kept") << "update Speeches set Keywords = 'theirs'" << ""
        << first + "theirs|Thank you|mine c2" + last << "theirs|Thank you|mine c2";
}

// A post refused for another user's change stores both changes when they are in different
// fields, and otherwise shows both versions and costs no typed character unless the user drops
// them.
void tst_Mainfrm::postOverAnotherUsersChangeKeepsTheText()
{
    QFETCH(QString, elsewhere);
    QFETCH(QString, button);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    MainWindowFixture f;
    f.ui()->DataSetNext->trigger();
    f.focus(f.ui()->dbmComments);
    f.type(QStringLiteral("mine "));
    f.db.execute(QStringLiteral("%1 where ID = %2").arg(elsewhere).arg(f.english[1]));
    QString yours;
    if (!button.isEmpty())
        answerNextModal([&](QWidget *dialog) {
            yours = dialog->findChild<QPlainTextEdit *>(QStringLiteral("memYoursComments"))->toPlainText();
            dialog->findChild<QPushButton *>(button)->click();
        });
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(f.recorder.messages().isEmpty());
    QCOMPARE(yours, button.isEmpty() ? QString() : QStringLiteral("mine c2"));
    if (button.isEmpty())
        QCOMPARE(f.form->findChild<NoticeBar *>()->text(),
                 QStringLiteral("Stored your change together with the keywords another user changed meanwhile"));
    QStringList speeches;
    for (int id = 0; (id = f.db.count(QStringLiteral("select coalesce(min(ID), 0) from Speeches where TaalID = 1 and ID > %1").arg(id)));)
        speeches.append(f.db.text(QStringLiteral("select Keywords || '|' || Tekst || '|' || Comments from Speeches where ID = %1").arg(id)));
    QCOMPARE(speeches.join(QLatin1Char(' ')), stored);
    QCOMPARE(QStringList({f.ui()->dbeKeywords->text(), f.ui()->dbmTekst->toPlainText(), f.ui()->dbmComments->toPlainText()})
                 .join(QLatin1Char('|')),
             shown);
}

void tst_Mainfrm::leavingASpeechAnotherUserChangedAsksWhatToKeep_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("keepEditing");
    QTest::addColumn<QString>("after"); // the window, language, mode or speech the way out left
    for (const auto &[way, kept, storedOver] : {std::tuple{"close", "open", "closed"}, {"language", "English 1", "Deutsch 2"},
                                                {"read-only", "editable", "read-only"}, {"search", "hello", "bye"}}) {
        QTest::addRow("%s, kept editing", way) << QString(way) << true << QString(kept);
        QTest::addRow("%s, mine over theirs", way) << QString(way) << false << QString(storedOver);
    }
}

// Every way out of a speech another user changed meanwhile asks what to keep, once: going on
// editing stops the way out with every typed character still there; storing mine over theirs
// stores them all and goes on.
void tst_Mainfrm::leavingASpeechAnotherUserChangedAsksWhatToKeep()
{
    QFETCH(QString, way);
    QFETCH(bool, keepEditing);
    QFETCH(QString, after);
    MainWindowFixture f;
    f.focus(f.ui()->dbmComments);
    f.type(QStringLiteral("mine "));
    f.db.execute(QStringLiteral("update Speeches set Comments = 'theirs' where ID = %1").arg(f.english[0]));
    QList<std::function<void(QWidget *)>> answers;
    if (way == QLatin1String("search"))
        answers.append([](QWidget *find) {
            QTest::keyClicks(find->findChild<QLineEdit *>(), QStringLiteral("bye"));
            QTest::keyClick(find->findChild<QLineEdit *>(), Qt::Key_Return);
        });
    answers.append([&](QWidget *dialog) {
        dialog->findChild<QPushButton *>(keepEditing ? "btnKeepEditing" : "btnStoreOver")->click();
        after.prepend(dialog->objectName() + QLatin1Char(' '));
    });
    const auto onlyThese = answerOnly(answers);
    const std::map<QString, std::function<void()>> ways{{"close", [&] { f.form->close(); }},
        {"language", [&] { f.selectLanguage(0); }}, {"read-only", [&] { f.ui()->actSetReadOnly->trigger(); }},
        {"search", [&] { f.ui()->actFind->trigger(); }}};
    ways.at(way)();
    const std::map<QString, QString> left{{"close", f.form->isVisible() ? "open" : "closed"},
        {"language", QStringLiteral("%1 %2").arg(f.ui()->cbLanguage->currentText()).arg(f.form->currentTaalId())},
        {"read-only", f.ui()->actSetReadOnly->isChecked() ? "read-only" : "editable"}, {"search", f.ui()->dbeKeywords->text()}};
    QCOMPARE(QStringLiteral("PostConflictDlg ") + left.at(way), after);
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
    QCOMPARE(f.db.text(QStringLiteral("select Tekst || '|' || Comments from Speeches where ID = %1").arg(f.english[0])),
             keepEditing ? QStringLiteral("Hello there|theirs") : QStringLiteral("Hello there|mine c1"));
    const bool editing = f.form->tblSpeech.state() == DataSetState::Edit;
    QCOMPARE(editing ? f.ui()->dbmComments->toPlainText() : QString(), keepEditing ? QStringLiteral("mine c1") : QString());
}

// The server drops the program's connection while a speech is being edited: the post is

// Another program changes the library on the server: the window says so within a second or two
// (what comes in the same second is told at once), the list follows while the user browses,
// and waits while the user types.
void tst_Mainfrm::othersChangesShowWithoutTouchingTheTypedText()
{
    if (!TestServer::enabled())
        QSKIP("a file tells of others' changes at the next move");
    MainWindowFixture f;
    // A library made before the server told of changes is given that at its next open.
    f.close();
    f.db.execute(QStringLiteral("DROP FUNCTION \"TinlarkTellChange\"() CASCADE"));
    f.open();
    QLabel *notice = f.form->statusPanel(HintPanelIndex);
    f.db.execute(QStringLiteral("update Speeches set Tekst = 'theirs' where ID = %1").arg(f.english[0]));
    QTRY_COMPARE_WITH_TIMEOUT(f.ui()->dbmTekst->toPlainText(), QStringLiteral("theirs"), 1000);
    QCOMPARE(notice->text(), QStringLiteral("Another user changed the speech \u201Chello\u201D"));
    f.db.execute(QStringLiteral("delete from Speeches where ID = %1").arg(f.english[0]));
    QTRY_COMPARE_WITH_TIMEOUT(f.currentId(), f.english[1], 2500); // the next one, not the first

    f.focus(f.ui()->dbmComments);
    f.type(QStringLiteral("typed "));
    f.db.addSpeech(1, QStringLiteral("new"), QStringLiteral("Theirs"));
    f.db.execute(QStringLiteral("update Speeches set Comments = 'c2 theirs' where ID = %1").arg(f.english[1]));
    QTRY_VERIFY_WITH_TIMEOUT(notice->text().endsWith(QStringLiteral("; the list follows when you store or cancel your changes")),
                             2500);
    QCOMPARE(f.ui()->dbmComments->toPlainText(), QStringLiteral("typed c2"));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Edit); // nothing stored or dropped for the user
    f.press(Qt::Key_Escape);
    QTRY_COMPARE(f.ui()->dbmComments->toPlainText(), QStringLiteral("c2 theirs"));
    f.ui()->DataSetLast->trigger();
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("new"));
}

void tst_Mainfrm::rolesThatMayNotWriteOpenReadOnly_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<QString>("withheld"); // a right taken back from every right
    QTest::addColumn<QString>("missing");  // empty: the library can be written
    QTest::newRow("every right") << "ALL" << "" << "";
    QTest::newRow("read only") << "SELECT" << "" << "grant: INSERT, UPDATE, DELETE on Speeches; INSERT, UPDATE, DELETE on Taal";
    QTest::newRow("no INSERT on the word index") << "ALL" << "INSERT ON \"TinlarkWords\"" << "INSERT on TinlarkWords";
}

// A role the server lets only read opens the library read-only with one notice naming the
// server and why, instead of failing at the first post.
void tst_Mainfrm::rolesThatMayNotWriteOpenReadOnly()
{
    QFETCH(QString, rights);
    QFETCH(QString, withheld);
    QFETCH(QString, missing);
    if (!TestServer::enabled())
        QSKIP("a file's rights are the file system's");
    MainWindowFixture f;
    f.close();
    static int roles = 0; // roles belong to the whole server
    const QString role = QStringLiteral("reader%1").arg(++roles);
    f.db.execute(QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
    // Only a role the reader trusts may create in the library's schema, or it is not opened at all.
    f.db.execute(QStringLiteral("DO $$BEGIN EXECUTE pg_catalog.format('ALTER SCHEMA %I OWNER TO CURRENT_USER; GRANT USAGE ON SCHEMA %I TO %1; GRANT USAGE ON ALL SEQUENCES IN "
                                "SCHEMA %I TO %1; GRANT %2 ON ALL TABLES IN SCHEMA %I TO %1', current_schema(), "
                                "current_schema(), current_schema(), current_schema()); END$$")
                     .arg(role, rights));
    if (!withheld.isEmpty())
        f.db.execute(QStringLiteral("REVOKE %1 FROM %2").arg(withheld, role));
    f.folder.writeSettings(QStringLiteral("[MainForm]\nIndex=1\nRO=1\n[Hacks]\nDatabase=%1 user=%2\n")
                               .arg(f.db.dataSource(), role).toUtf8());
    f.open();
    QCOMPARE(f.ui()->DataSetEdit->isEnabled(), missing.isEmpty());
    if (missing.isEmpty()) {
        QVERIFY(f.recorder.messages().isEmpty());
        return;
    }
    QCOMPARE(f.recorder.messages(), QStringList());
    const QString message = f.form->noticeBar()->text();
    QVERIFY2(message.contains(QLatin1String("read-only")) && message.contains(QLatin1String("as ") + role)
                 && message.contains(missing),
             qPrintable(message));
    QVERIFY(f.form->statusPanel(HintPanelIndex)->text().startsWith(QLatin1String("Read-only: ")));
}

// refused with a message, nothing typed is lost, and the next post reconnects and stores it.
void tst_Mainfrm::lostConnectionKeepsTheTextAndTheNextPostStores()
{
    if (!TestServer::enabled())
        QSKIP("a file has no connection to lose");
    MainWindowFixture f;
    f.focus(f.ui()->dbmComments);
    f.type(QStringLiteral("kept "));
    const QString typed = f.ui()->dbmComments->toPlainText();
    f.db.execute(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity "
                                "where datname = current_database() and pid <> pg_backend_pid()"));
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.recorder.messages().size(), 1);
    const QString message = f.recorder.messages().first();
    // One readable sentence, not libpq's indented lines.
    QVERIFY2(message.contains(QLatin1String("was lost (terminating connection")) && !message.contains(u'\n')
                 && message.endsWith(QLatin1String("the next action connects again.")),
             qPrintable(message));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Edit);
    QCOMPARE(f.ui()->dbmComments->toPlainText(), typed);
    QCOMPARE(f.db.text(QStringLiteral("select Comments from Speeches where ID = %1").arg(f.english[0])), QStringLiteral("c1"));

    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.recorder.messages().size(), 1);
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    QCOMPARE(f.db.text(QStringLiteral("select Comments from Speeches where ID = %1").arg(f.english[0])), typed);
}

void tst_Mainfrm::refreshShowsOtherUsersLanguages()
{
    MainWindowFixture f;
    const auto listed = [&f] {
        QStringList names;
        for (int i = 0; i < f.ui()->cbLanguage->count(); ++i)
            names.append(f.ui()->cbLanguage->itemText(i));
        return names;
    };
    f.press(Qt::Key_PageDown);
    const int shown = f.currentId();
    f.db.addLanguage(QStringLiteral("Fran\u00e7ais"));
    f.db.execute(QStringLiteral("update Taal set Taal = 'Vide' where ID = 3"));
    f.press(Qt::Key_F5);
    QCOMPARE(listed(), (QStringList{QStringLiteral("Deutsch"), QStringLiteral("English"), QStringLiteral("Fran\u00e7ais"),
                                    QStringLiteral("Vide")}));
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("English"));
    QCOMPARE(f.currentId(), shown);

    f.db.execute(QStringLiteral("delete from Taal where ID = 1"));
    f.press(Qt::Key_F5);
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("Deutsch"));
    QCOMPARE(f.form->currentTaalId(), 2);
    QCOMPARE(f.ui()->dbmTekst->toPlainText(), QStringLiteral("Hallo"));
}

void tst_Mainfrm::insertIsStampedWithTheSelectedLanguage()
{
    MainWindowFixture f;
    const int five = [&] {
        f.db.addLanguage(QStringLiteral("four"));
        return f.db.addLanguage(QStringLiteral("Zulu"));
    }();
    QCOMPARE(five, 5);
    answerNextModal([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Return); }); // OK in the Languages dialog
    f.ui()->actLanguages->trigger(); // reads the languages again
    QTRY_VERIFY(!QApplication::activeModalWidget());
    f.activate();
    f.ui()->cbLanguage->setCurrentIndex(f.ui()->cbLanguage->findText(QStringLiteral("Zulu")));
    QCOMPARE(f.form->currentTaalId(), 5);
    f.focus(f.ui()->dbeKeywords);
    f.press(Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Insert);
    f.type(QStringLiteral("new one"));
    f.press(Qt::Key_Return, Qt::ControlModifier);
    const int id = f.currentId();
    QVERIFY(id > 0);
    QCOMPARE(f.db.count(QStringLiteral("select TaalID from Speeches where ID = %1").arg(id)), 5);
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("new one")); // visible under the filter
}

void tst_Mainfrm::deleteRemovesAtOnce()
{
    MainWindowFixture f;
    f.focus(f.ui()->dbmTekst);
    f.press(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches where ID = %1").arg(f.english[0])), 0);
    QCOMPARE(f.currentId(), f.english[1]);
}

void tst_Mainfrm::languageChangeStoresChangedSpeechUnderNewLanguage_data()
{
    addPendingRowCases();
}

void tst_Mainfrm::languageChangeStoresChangedSpeechUnderNewLanguage()
{
    QFETCH(bool, insert);
    QFETCH(bool, change);
    MainWindowFixture f;
    f.focus(f.ui()->dbeKeywords);
    if (insert)
        f.press(Qt::Key_Insert, Qt::ControlModifier);
    f.press(Qt::Key_End);
    if (change)
        f.type(QStringLiteral("2"));
    f.ui()->cbLanguage->setCurrentIndex(0); // Deutsch
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
    const QString stored = insert ? QStringLiteral("2") : QStringLiteral("hello2");
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches where Keywords = '%1' and TaalID = 2").arg(stored)),
             change ? 1 : 0);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches")), insert && change ? 5 : 4);
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    QCOMPARE(f.form->tblSpeech.recordCount(), change ? 2 : 1);
}

void tst_Mainfrm::languagesOfTheSameNameKeepTheirOwnSpeeches()
{
    MainWindowFixture f;
    const int twin = f.db.addLanguage(QStringLiteral("English"));
    f.db.addSpeech(twin, QStringLiteral("twin"));
    f.close();
    f.open();
    QComboBox *selector = f.ui()->cbLanguage;
    QList<QStringList> shown;
    for (int index = 0; index < selector->count(); ++index) {
        if (selector->itemText(index) != QLatin1String("English"))
            continue;
        selector->setCurrentIndex(index);
        QStringList keywords;
        for (f.ui()->DataSetFirst->trigger(); !f.form->tblSpeech.eof(); f.form->tblSpeech.next())
            keywords.append(f.ui()->dbeKeywords->text());
        keywords.sort();
        shown.append(keywords);
    }
    std::sort(shown.begin(), shown.end());
    QCOMPARE(shown, (QList<QStringList>{{"bye", "hello", "thanks"}, {"twin"}}));
}

void tst_Mainfrm::keywordsTakeAtMostFiftyCharacters()
{
    MainWindowFixture f;
    QCOMPARE(f.ui()->dbeKeywords->maxLength(), 50);
    f.focus(f.ui()->dbeKeywords);
    f.press(Qt::Key_End);
    f.type(QString(60, QLatin1Char('k')));
    QCOMPARE(f.ui()->dbeKeywords->text().size(), 50);
    f.focus(f.ui()->dbmTekst); // the text reaches the field when the edit loses the focus
    QCOMPARE(f.form->tblSpeechKeywords->asString().size(), 50);
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
}

void tst_Mainfrm::readOnlySwitchTwiceEndsOnSameSpeech()
{
    MainWindowFixture f;
    QFont font = f.ui()->sbReadOnly->font();
    font.setItalic(true);
    f.ui()->sbReadOnly->setFont(font);
    f.ui()->DataSetNext->trigger();
    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(f.ui()->sbReadOnly, Qt::LeftButton);
        QVERIFY(f.ui()->actSetReadOnly->isChecked());
        QVERIFY(f.ui()->sbReadOnly->isChecked());
        QVERIFY(f.ui()->sbReadOnly->font().bold());
        QVERIFY(f.ui()->dbeKeywords->isReadOnly());
        QCOMPARE(f.ui()->dbeKeywords->palette().color(QPalette::Base), f.ui()->Panel2->palette().color(QPalette::Window));
        QCOMPARE(f.currentId(), f.english[1]);
        QCOMPARE(recordActionStates(f.ui()).mid(4), QStringLiteral("000000"));

        f.ui()->actSetReadOnly->trigger(); // as the Speeches menu does
        QVERIFY(!f.ui()->sbReadOnly->isChecked());
        QVERIFY(!f.ui()->sbReadOnly->font().bold());
        QVERIFY(!f.ui()->dbmComments->isReadOnly());
        QCOMPARE(f.ui()->dbmComments->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
        QCOMPARE(f.currentId(), f.english[1]);
        QCOMPARE(recordActionStates(f.ui()).mid(4), QStringLiteral("111001"));
    }
    QVERIFY(f.ui()->sbReadOnly->font().italic());
}

void tst_Mainfrm::readOnlySwitchKeepsWhatWasTyped_data()
{
    addPendingRowCases();
}

void tst_Mainfrm::readOnlySwitchKeepsWhatWasTyped()
{
    QFETCH(bool, insert);
    QFETCH(bool, change);
    MainWindowFixture f;
    f.ui()->DataSetNext->trigger();
    f.focus(f.ui()->dbmTekst);
    if (insert)
        f.press(Qt::Key_Insert, Qt::ControlModifier);
    if (change)
        f.type(QStringLiteral("typed"));
    f.ui()->actSetReadOnly->trigger();
    QVERIFY(f.ui()->actSetReadOnly->isChecked());
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches")), insert && change ? 5 : 4);
    if (change) {
        QVERIFY(f.ui()->dbmTekst->toPlainText().contains(QLatin1String("typed"))); // still on that speech
        QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches where Tekst like '%typed%' and TaalID = 1")), 1);
    } else {
        QCOMPARE(f.currentId(), f.english[1]); // the new row was dropped: back where it was
    }
}

void tst_Mainfrm::closingStoresChangedSpeech_data()
{
    addPendingRowCases();
}

void tst_Mainfrm::closingStoresChangedSpeech()
{
    QFETCH(bool, insert);
    QFETCH(bool, change);
    MainWindowFixture f;
    f.focus(f.ui()->dbeKeywords);
    if (insert)
        f.press(Qt::Key_Insert, Qt::ControlModifier);
    if (change)
        f.type(QStringLiteral("kept"));
    f.close();
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches")), insert && change ? 5 : 4);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches where Keywords like '%kept%'")), change ? 1 : 0);
    QVERIFY(f.folder.readSettings().contains("RO=1"));
}

void tst_Mainfrm::editKeysActInTextControlsOnly()
{
    MainWindowFixture f;
    f.focus(f.ui()->dbeKeywords);
    QVERIFY(f.ui()->EditSelectAll1->isEnabled());
    QVERIFY(!f.ui()->EditCopy1->isEnabled()); // nothing selected yet
    f.press(Qt::Key_A, Qt::ControlModifier);
    QVERIFY(f.ui()->EditCopy1->isEnabled());
    f.press(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
    f.press(Qt::Key_Delete);
    QCOMPARE(f.ui()->dbeKeywords->text(), QString());
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Edit);
    f.press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("hello"));

    // The edit actions from the menu act on the focused control.
    f.ui()->EditSelectAll1->trigger();
    f.ui()->EditCut1->trigger();
    QCOMPARE(f.ui()->dbeKeywords->text(), QString());
    f.ui()->EditPaste1->trigger();
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("hello"));

    f.ui()->cbLanguage->setFocus();
    QTRY_VERIFY(f.ui()->cbLanguage->hasFocus());
    for (QAction *action : {f.ui()->EditCut1, f.ui()->EditCopy1, f.ui()->EditPaste1, f.ui()->EditSelectAll1,
                            f.ui()->EditUndo1, f.ui()->EditDelete1})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
}

void tst_Mainfrm::commentsPaneKeepsHeightAndCollapses()
{
    MainWindowFixture f;
    const int memoHeight = f.ui()->dbmTekst->height();
    f.form->resize(800, 600);
    QTRY_COMPARE(f.ui()->pnlComments->height(), 94);
    QTRY_VERIFY(f.ui()->dbmTekst->height() > memoHeight);
    QCOMPARE(f.ui()->dbeKeywords->width() + f.ui()->Label1->width() > 700, true);

    QWidget *splitter = f.ui()->Splitter1;
    const QPoint grip(splitter->width() / 2, 1);
    QTest::mousePress(splitter, Qt::LeftButton, {}, grip);
    QTest::mouseMove(splitter, grip + QPoint(0, 40)); // 54 high
    QCOMPARE(f.ui()->pnlComments->height(), 54);
    QTest::mouseMove(splitter, grip + QPoint(0, 64)); // 30 high: collapses
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, grip + QPoint(0, 64));
    QCOMPARE(f.ui()->pnlComments->height(), 0);
}

void tst_Mainfrm::typingIntoTheSelector()
{
    MainWindowFixture f;
    QLineEdit *edit = f.ui()->cbLanguage->lineEdit();
    f.focus(edit);
    edit->selectAll();
    f.type(QStringLiteral("d"));
    QCOMPARE(f.recorder.messages(), QStringList{QStringLiteral("List index out of bounds (-1)")});
    QCOMPARE(f.form->currentTaalId(), 1); // nothing changed
    QCOMPARE(f.currentId(), f.english[0]);
    f.type(QStringLiteral("eutsc"));
    QCOMPARE(f.recorder.messages().size(), 6); // one report for every edit that names no language
    // The text cursor stays where the user is typing.
    f.press(Qt::Key_Left);
    f.press(Qt::Key_Left);
    f.type(QStringLiteral("X"));
    QCOMPARE(edit->text(), QStringLiteral("deutXsc"));
    QCOMPARE(edit->cursorPosition(), 5);
    f.press(Qt::Key_Backspace);
    QCOMPARE(edit->cursorPosition(), 4);
    QCOMPARE(f.recorder.messages().size(), 8);
    f.press(Qt::Key_End);
    f.type(QStringLiteral("h"));
    QCOMPARE(f.recorder.messages().size(), 8);
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("Deutsch"));
    QCOMPARE(f.form->currentTaalId(), 2);
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("hallo"));
}

void tst_Mainfrm::changesThatAreNoKeysReachTheDatabase_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("language"); // position in the selector
    QTest::newRow("context-menu paste into the keywords") << "paste" << "dbeKeywords" << 1;
    QTest::newRow("drop into the speech") << "drop" << "dbmTekst" << 1;
    QTest::newRow("input method into the comments") << "input method" << "dbmComments" << 1;
    QTest::newRow("input method into an empty language") << "input method" << "dbmTekst" << 2;
}

void tst_Mainfrm::changesThatAreNoKeysReachTheDatabase()
{
    QFETCH(QString, path);
    QFETCH(QString, control);
    QFETCH(int, language);
    MainWindowFixture f;
    f.selectLanguage(language);
    auto *target = f.form->findChild<QWidget *>(control);
    f.focus(target);
    const QString added = QStringLiteral("\u00e9t\u00e9");
    QTimer clicker;
    if (path == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(added);
        // The Paste item of the context menu is clicked once the menu is up.
        QObject::connect(&clicker, &QTimer::timeout, [&clicker] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            const QList<QAction *> items = menu ? menu->actions() : QList<QAction *>();
            const auto paste = std::find_if(items.begin(), items.end(), [](QAction *item) {
                return item->text().startsWith(QLatin1String("&Paste"));
            });
            if (paste == items.end())
                return;
            clicker.stop();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*paste).center());
        });
        clicker.start(10);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
    } else if (path == QLatin1String("drop")) {
        QMimeData text;
        text.setText(added);
        QWidget *viewport = static_cast<QPlainTextEdit *>(target)->viewport();
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        QDropEvent drop(at, Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(added);
        QApplication::sendEvent(target, &commit);
    }
    const char *shown = control == QLatin1String("dbeKeywords") ? "text" : "plainText";
    QTRY_VERIFY(target->property(shown).toString().contains(added));
    QVERIFY(f.ui()->DataSetPost->isEnabled());

    f.form->DataSetNextExecute(); // a move stores the pending change
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    const QString field = control.mid(3); // dbeKeywords: Keywords
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches where TaalID = %1 and %2 like '%%3%'")
                            .arg(f.ui()->cbLanguage->itemData(language).toInt())
                            .arg(field, added)),
             1);
}

void tst_Mainfrm::changeTheRecordSetCannotTakeIsUndone()
{
    MainWindowFixture f;
    f.form->tblSpeech.close(); // as after a reopen that failed: the fields stay editable
    f.focus(f.ui()->dbeKeywords);
    f.type(QStringLiteral("x"));
    QTRY_COMPARE(f.ui()->dbeKeywords->text(), QString());
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
}

void tst_Mainfrm::storedNewSpeechTakesItsPlaceInTheList()
{
    MainWindowFixture f;
    f.focus(f.ui()->dbmTekst);
    f.press(Qt::Key_Insert, Qt::ControlModifier);
    f.type(QStringLiteral("new"));
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1100111001")); // the last of four
    f.press(Qt::Key_PageUp);
    QCOMPARE(f.currentId(), f.english[2]);
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1111111001"));
    f.press(Qt::Key_PageDown);
    f.press(Qt::Key_PageDown);
    QCOMPARE(f.ui()->dbmTekst->toPlainText(), QStringLiteral("new"));
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1100111001"));
    f.press(Qt::Key_F5);
    f.press(Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(f.currentId(), f.english[0]);

    // Two speeches added to a language that had none.
    f.selectLanguage(2);
    f.focus(f.ui()->dbmTekst);
    for (const QString &text : {QStringLiteral("a"), QStringLiteral("b")}) {
        f.press(Qt::Key_Insert, Qt::ControlModifier);
        f.type(text);
        f.press(Qt::Key_Return, Qt::ControlModifier);
    }
    QCOMPARE(recordActionStates(f.ui()), QStringLiteral("1100111001"));
    f.press(Qt::Key_PageUp);
    QCOMPARE(f.ui()->dbmTekst->toPlainText(), QStringLiteral("a"));
}

void tst_Mainfrm::tabMovesTheFocusInLayoutOrder()
{
    MainWindowFixture f;
    QTRY_VERIFY(f.ui()->cbLanguage->hasFocus()); // where the user starts
    for (QWidget *next : {static_cast<QWidget *>(f.ui()->dbeKeywords), static_cast<QWidget *>(f.ui()->dbmTekst),
                          static_cast<QWidget *>(f.ui()->dbmComments)}) {
        f.press(Qt::Key_Tab);
        QTRY_VERIFY2(next->hasFocus(), qPrintable(next->objectName()));
    }
    QCOMPARE(f.ui()->dbmTekst->toPlainText(), QStringLiteral("Hello there"));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    f.press(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(f.ui()->dbmComments->toPlainText().contains(QLatin1Char('\t')));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Edit);
}

void tst_Mainfrm::menusNameTheKeysTheLayoutsWay_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("keys");
    QTest::newRow("First") << "DataSetFirst" << "Ctrl+PgUp";
    QTest::newRow("Prior") << "DataSetPrior" << "PgUp";
    QTest::newRow("Next") << "DataSetNext" << "PgDn";
    QTest::newRow("Last") << "DataSetLast" << "Ctrl+PgDn";
    QTest::newRow("Insert") << "DataSetInsert" << "Ctrl+Ins";
    QTest::newRow("Delete") << "DataSetDelete" << "Ctrl+Del";
    QTest::newRow("Post") << "DataSetPost" << "Ctrl+Enter";
    QTest::newRow("Cancel") << "DataSetCancel" << "Esc";
    QTest::newRow("Find") << "actFind" << "Ctrl+F";
}

void tst_Mainfrm::menusNameTheKeysTheLayoutsWay()
{
    QFETCH(QString, action);
    QFETCH(QString, keys);
    MainWindowFixture f;
    auto *item = f.form->findChild<QAction *>(action);
    const QList<QObject *> shownIn = item->associatedObjects();
    QVERIFY(std::any_of(shownIn.begin(), shownIn.end(), [](QObject *o) { return qobject_cast<QMenu *>(o); }));
    // The text a menu shows to the right of an item's caption.
    QCOMPARE(item->shortcut().toString(QKeySequence::NativeText), keys);
}

void tst_Mainfrm::bandsStayOnTheBandBar()
{
    MainWindowFixture f;
    const QList<QToolBar *> bands = f.form->findChildren<QToolBar *>();
    QCOMPARE(bands.size(), 3);
    for (QToolBar *band : bands) {
        QVERIFY(band->isMovable());
        QVERIFY(!band->isFloatable());
        QCOMPARE(band->allowedAreas(), Qt::TopToolBarArea);
        // A right-click offers no menu to hide the bands.
        bool menuShown = false;
        QTimer::singleShot(0, [&menuShown] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                menuShown = true;
                popup->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), band->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(band, &event);
        QCoreApplication::processEvents();
        QVERIFY2(!menuShown, qPrintable(band->objectName()));
    }
}

// Another program holds the file: the window shows at once that it waits, and the refusal
// names the file and the cause; the speech being edited stays.
void tst_Mainfrm::lockedDatabaseIsNamedAndTheWaitShows()
{
    SKIP_ON_SERVER("a lock on the file");
    MainWindowFixture f;
    sqlite3 *otherProgram = nullptr;
    QCOMPARE(sqlite3_open_v2(f.db.path().toUtf8().constData(), &otherProgram, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_exec(otherProgram, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    f.focus(f.ui()->dbeKeywords);
    f.type(QStringLiteral("x"));
    f.ui()->DataSetPost->trigger();
    QCOMPARE(f.form->statusPanel(HintPanelIndex)->text(),
             QStringLiteral("Waiting for another program that holds the database..."));
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(f.recorder.messages().size(), 1);
    QVERIFY2(f.recorder.messages()[0].startsWith(QStringLiteral("Another program holds the database %1").arg(f.db.path())),
             qPrintable(f.recorder.messages()[0]));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Edit);
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("hellox"));
    QTRY_VERIFY(!QApplication::overrideCursor());
    sqlite3_exec(otherProgram, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(otherProgram);
    f.press(Qt::Key_Escape);
}

// Ctrl+Del deletes without a question; Speeches > Restore deleted speeches... brings it back.
void tst_Mainfrm::deletedSpeechComesBackThroughTheMenu()
{
    MainWindowFixture f;
    QVERIFY(f.ui()->Dataset1->actions().contains(f.ui()->actRestoreDeleted));
    QVERIFY(f.ui()->Dataset1->actions().contains(f.ui()->actHistory));
    const int deleted = f.currentId();
    f.focus(f.ui()->dbmTekst);
    f.press(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches where ID = %1").arg(deleted)), 0);
    answerNextModal([](QWidget *widget) {
        auto *dialog = qobject_cast<THistoryDialog *>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->ui()->lvVersions->topLevelItemCount(), 1);
        QCOMPARE(dialog->ui()->memText->toPlainText(), QStringLiteral("Hello there"));
        dialog->ui()->btnRestore->click();
        QCOMPARE(dialog->ui()->lvVersions->topLevelItemCount(), 0);
        dialog->ui()->btnClose->click();
    });
    f.ui()->actRestoreDeleted->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
    QCOMPARE(f.db.text(QStringLiteral("select Tekst from Speeches where ID = %1").arg(deleted)),
             QStringLiteral("Hello there"));
    QCOMPARE(f.currentId(), deleted);
}

// Versions that differ only at the end are told apart in the list by what each one changed.
void tst_Mainfrm::historyTellsVersionsApartByWhatChanged()
{
    MainWindowFixture f;
    for (const char *text : {"Hello there\nfriend", "Hello there\nfriends all", "Hello there\nnew friends"})
        f.db.execute(QStringLiteral("update Speeches set Tekst = '%1' where ID = %2").arg(QLatin1String(text)).arg(f.currentId()));
    answerNextModal([](QWidget *widget) {
        const QTreeWidget *list = qobject_cast<THistoryDialog *>(widget)->ui()->lvVersions;
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("line 2: \"friend\" became \"friends all\""));
        QCOMPARE(list->topLevelItem(2)->text(3), QStringLiteral("Hello there")); // the oldest
        widget->close();
    });
    f.ui()->actHistory->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

void tst_Mainfrm::historyOfSpeechesDeletedLongAgoGoesOnceTheWindowIsUp()
{
    MainWindowFixture f;
    f.close();
    const int deleted = f.english[2];
    f.db.execute(QStringLiteral("DELETE FROM Speeches WHERE ID = %1").arg(deleted));
    f.db.execute(QStringLiteral("UPDATE \"SpeechHistory\" SET \"ChangedAt\" = '2000-01-01 00:00:00.000' "
                                "WHERE \"SpeechID\" = %1").arg(deleted));
    const QString versions = QStringLiteral("select count(*) from \"SpeechHistory\" where \"SpeechID\" = %1").arg(deleted);
    QCOMPARE(f.db.count(versions), 1);
    f.open();
    QTRY_COMPARE(f.db.count(versions), 0);
}

// File > Export... writes the chosen language's speeches; File > Import... shows what a file
// would add and stores nothing until the user says yes; a file library is backed up first.
void tst_Mainfrm::speechesGoOutAndComeInThroughTheFileMenu()
{
    MainWindowFixture f;
    const QString exported = f.folder.filePath(QStringLiteral("english")); // the chosen kind adds .json
    // Checks a message, its English title and buttons, and presses the button of that caption
    // (Enter when none is named).
    const auto expectMessage = [](const QString &text, const QString &press = QString()) {
        return [=](QWidget *dialog) {
            QVERIFY2(labelTexts(dialog).contains(text), qPrintable(labelTexts(dialog)));
            QVERIFY(dialog->windowTitle().endsWith(QLatin1String(" speeches")));
            QStringList captions;
            for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                captions.append(button->text().remove(QLatin1Char('&')));
            for (const char *dutch : {"Ja", "Nee", "Annuleren"})
                QVERIFY2(!captions.contains(QLatin1String(dutch)), qPrintable(captions.join(QLatin1Char(','))));
            for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
                if (!press.isEmpty() && button->text().remove(QLatin1Char('&')) == press)
                    return button->click();
            }
            QTest::keyClick(dialog, Qt::Key_Return);
        };
    };
    answerInTurn({expectMessage(QStringLiteral("or only those of English?"), QStringLiteral("Only English")),
                  chooseInFileDialog(exported, QStringLiteral("JSON files (*.json)")),
                  expectMessage(QStringLiteral("Exported 3 speeches into"))});
    chooseFromFileMenu(f.form.get(), Qt::Key_E);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QFile json(exported + QStringLiteral(".json"));
    QVERIFY(json.open(QIODevice::ReadOnly));
    QStringList texts;
    for (const QJsonValue speech : QJsonDocument::fromJson(json.readAll()).array())
        texts.append(speech[QStringLiteral("Language")].toString() + QLatin1Char(':') + speech[QStringLiteral("Text")].toString());
    QCOMPARE(texts, QStringList({QStringLiteral("English:Hello there"), QStringLiteral("English:Thank you"),
                                 QStringLiteral("English:Goodbye")}));
    // The same, as CSV a spreadsheet can open safely.
    const QString safeCsv = f.folder.filePath(QStringLiteral("safe.csv"));
    answerInTurn({expectMessage(QStringLiteral("or only those of English?"), QStringLiteral("Only English")),
                  [&](QWidget *dialog) {
                      auto *safe = dialog->findChild<QCheckBox *>(QStringLiteral("cbSpreadsheetSafe"));
                      QVERIFY(safe && safe->isEnabled() && !safe->isChecked());
                      safe->setChecked(true);
                      chooseInFileDialog(safeCsv)(dialog);
                  },
                  expectMessage(QStringLiteral("Exported 3 speeches into"))});
    chooseFromFileMenu(f.form.get(), Qt::Key_E);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QFile safeFile(safeCsv);
    QVERIFY(safeFile.open(QIODevice::ReadOnly));
    QCOMPARE(safeFile.readLine(), QByteArray("\xEF\xBB\xBF" "Language,Keywords,Text,Comments,SpreadsheetSafe\r\n"));

    const QString csv = f.folder.filePath(QStringLiteral("in.csv"));
    QFile in(csv);
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write("Language,Keywords,Text,Comments\r\nEnglish,hello,Hello there,c1\r\nFran\xC3\xA7" "ais,salut,\"Bonjour,\r\nami\",\r\n");
    in.close();
    const int speechesBefore = f.db.count(QStringLiteral("select count(*) from Speeches"));
    const int shown = f.currentId();
    const bool libraryFile = f.db.dataSource() == f.db.path();
    const QString preview = QStringLiteral("Would import 1 new speech and 1 new language; 1 speech was already there.");
    answerInTurn({chooseInFileDialog(csv), expectMessage(preview, QStringLiteral("No"))});
    chooseFromFileMenu(f.form.get(), Qt::Key_I);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches")), speechesBefore);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal")), 3);

    // The import's backup takes the place of the day's, made at start, as the newest of the day.
    const QDir backups(f.folder.filePath(QStringLiteral("backups")));
    QTRY_COMPARE(backups.entryList(QDir::Files).size(), libraryFile ? 1 : 0);
    const QStringList backupsBefore = backups.entryList(QDir::Files);
    answerInTurn({chooseInFileDialog(csv), expectMessage(preview, QStringLiteral("Yes")),
                  expectMessage(QStringLiteral("Imported 1 new speech and 1 new language; 1 speech was already there"))});
    chooseFromFileMenu(f.form.get(), Qt::Key_I);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(f.recorder.messages().join(QLatin1Char('|')), QString());
    QCOMPARE(f.db.text(QStringLiteral("select Tekst from Speeches where Keywords = 'salut'")), QStringLiteral("Bonjour,\r\nami"));
    QVERIFY(f.ui()->cbLanguage->findText(QStringLiteral("Fran\u00E7ais")) >= 0);
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("English"));
    QCOMPARE(f.currentId(), shown);
    QCOMPARE(backups.entryList(QDir::Files).size(), backupsBefore.size());
    QCOMPARE(backups.entryList(QDir::Files) != backupsBefore, libraryFile);

    // A fault of the file is named with its line, and nothing is asked or stored.
    QVERIFY(in.open(QIODevice::WriteOnly | QIODevice::Truncate));
    in.write("Language,Keywords,Text,Comments\r\nEnglish,new,\"never closed\r\n");
    in.close();
    answerInTurn({chooseInFileDialog(csv)});
    chooseFromFileMenu(f.form.get(), Qt::Key_I);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(f.recorder.messages().size(), 1);
    const QString said = f.recorder.messages()[0];
    QVERIFY2(said.startsWith(csv + QStringLiteral(", line 2: ")) && said.contains(QStringLiteral("; nothing was imported")),
             qPrintable(said));
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Speeches")), speechesBefore + 1);
}

TINLARK_TEST_MAIN(tst_Mainfrm)
#include "tst_Mainfrm.moc"
