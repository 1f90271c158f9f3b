#include "Field.h"
#include "Finddlg.h"
#include "FontScale.h"
#include "MainWindowFixture.h"
#include "ModalDialogHelper.h"
#include "Pickfrm.h"
#include "TestMain.h"
#include "ui_Pickfrm.h"

#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QToolButton>

namespace {

// Answers the next Find dialog: types text, then presses key (Enter, Esc) or, for
// Qt::Key_unknown, closes it with its close box.
void answerFind(const QString &text, Qt::Key key = Qt::Key_Return)
{
    answerNextModal([text, key](QWidget *dialog) {
        auto *find = qobject_cast<TLMFindDialog *>(dialog);
        QVERIFY(find);
        QVERIFY(find->Edit1->text().isEmpty()); // the last search text is not offered again
        QTest::keyClicks(find->Edit1, text);
        if (key == Qt::Key_unknown)
            find->close();
        else
            QTest::keyClick(find->Edit1, key);
    });
}

// A search through the dialog, as Ctrl+F does it.
void search(MainWindowFixture &f, const QString &text, Qt::Key key = Qt::Key_Return)
{
    answerFind(text, key);
    f.press(Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    f.activate();
}

} // namespace

class tst_Search : public QObject
{
    Q_OBJECT

private slots:
    void baseDialogLayoutAndAnswers();
    void findDialogAnswers_data();
    void findDialogAnswers();
    void searchShowsCountAndJumpsAndFindNextWraps();
    void searchWithoutHits();
    void searchTextIsLiteralButForWildcards_data();
    void searchTextIsLiteralButForWildcards();
    void languageSwitchRepeatsTheSearch();
    void searchStoresChangedSpeechBeforeTheJump();
    void copyPutsTheStoredTextOnTheClipboard_data();
    void copyPutsTheStoredTextOnTheClipboard();
    void pickerPastesIntoATerminalOnlyWhatCannotSteerIt();
    void hintsFollowMouseAndMenus();
    void countShowsWholeAtLargerFonts_data();
    void countShowsWholeAtLargerFonts();
    void keysBeyond32BitsReachTheRightSpeech();
};

void tst_Search::baseDialogLayoutAndAnswers()
{
    MainWindowFixture f;
    TLMFindDialog dialog(f.form.get());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Find Keywords"));
    // The layout's pixels, grown for the font in use.
    const auto px = [&dialog](int pixels) { return FontScale::scaled(pixels, dialog.font()); };
    QCOMPARE(dialog.size(), QSize(px(297), px(73)));
    QCOMPARE(dialog.btnOk->pos(), QPoint(px(137), px(44)));
    QCOMPARE(dialog.btnCancel->pos(), QPoint(px(217), px(44)));
    QCOMPARE(dialog.Bevel1->geometry().top(), px(36));
    QCOMPARE(dialog.Bevel1->width(), px(282));
    // The label keeps the layout's size unless its text would be cut.
    QCOMPARE(dialog.Label1->geometry(),
             QRect(QPoint(px(16), px(8)), QSize(px(23), px(13)).expandedTo(dialog.Label1->sizeHint())));
    QCOMPARE(dialog.Label1->text(), QStringLiteral("Find:"));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // fixed size
    QVERIFY(dialog.btnOk->isDefault());

    // Enter on the focused Cancel button presses Cancel.
    answerNextModal([](QWidget *d) {
        auto *find = static_cast<TLMFindDialog *>(d);
        find->btnCancel->setFocus();
        QTest::keyClick(find->btnCancel, Qt::Key_Return);
    });
    QCOMPARE(dialog.exec(), int(mrCancel));
}

void tst_Search::findDialogAnswers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("searched");
    QTest::newRow("Enter") << "thank" << int(Qt::Key_Return) << true;
    QTest::newRow("Esc") << "thank" << int(Qt::Key_Escape) << false;
    QTest::newRow("close box") << "thank" << int(Qt::Key_unknown) << false;
    QTest::newRow("empty confirmation") << "" << int(Qt::Key_Return) << false;
}

void tst_Search::findDialogAnswers()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(bool, searched);
    MainWindowFixture f;
    search(f, QStringLiteral("bye"));
    QCOMPARE(f.currentId(), f.english[2]);
    QCOMPARE(f.form->statusPanel(0)->text(), QStringLiteral("Search results: 1"));

    f.focus(f.ui()->dbmTekst);
    search(f, text, Qt::Key(key));
    QCOMPARE(f.recorder.messages(), QStringList());
    QCOMPARE(f.form->searchText(), searched ? text : QString()); // cleared whatever the answer
    QCOMPARE(f.currentId(), searched ? f.english[1] : f.english[2]);
    QCOMPARE(f.form->statusPanel(0)->text(), QStringLiteral("Search results: 1"));
    if (!searched) {
        // A later language change no longer searches.
        f.selectLanguage(0);
        QCOMPARE(f.recorder.messages(), QStringList());
        QCOMPARE(f.form->statusPanel(0)->text(), QStringLiteral("Search results: 1"));
    }
}

void tst_Search::searchShowsCountAndJumpsAndFindNextWraps()
{
    MainWindowFixture f;
    f.db.addSpeech(1, QStringLiteral("Thanks a lot"));
    f.focus(f.ui()->dbmTekst);
    search(f, QStringLiteral("THANK"));
    QCOMPARE(f.form->searchCount(), 2);
    QCOMPARE(f.form->statusPanel(0)->text(), QStringLiteral("Search results: 2"));
    QCOMPARE(f.currentId(), f.english[1]);
    f.press(Qt::Key_F3);
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("Thanks a lot"));
    f.press(Qt::Key_F3); // past the last hit: the first again
    QCOMPARE(f.currentId(), f.english[1]);

    search(f, QStringLiteral("   ")); // blanks are a text like any other
    QCOMPARE(f.form->searchText(), QStringLiteral("   "));
    QCOMPARE(f.recorder.messages(), QStringList{QStringLiteral("No matches found.")});
    f.recorder.clear();

    search(f, QStringLiteral("hello"));
    const int shown = f.currentId();
    f.press(Qt::Key_F3); // one hit: Find next stays on it
    QCOMPARE(f.currentId(), shown);
    QCOMPARE(f.recorder.messages(), QStringList());
}

void tst_Search::searchWithoutHits()
{
    MainWindowFixture f;
    f.press(Qt::Key_F3); // no search yet: the hit list is closed
    QCOMPARE(f.recorder.messages().size(), 1);
    f.recorder.clear();
    f.ui()->DataSetNext->trigger();
    search(f, QStringLiteral("nothing like it"));
    QCOMPARE(f.recorder.messages(), QStringList{QStringLiteral("No matches found.")});
    QCOMPARE(f.form->statusPanel(0)->text(), QString());
    QCOMPARE(f.form->searchCount(), 0);
    f.press(Qt::Key_F3); // moves nothing
    QCOMPARE(f.currentId(), f.english[1]);
    QCOMPARE(f.recorder.messages().size(), 1);
}

void tst_Search::searchTextIsLiteralButForWildcards_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found");
    QTest::newRow("double quote") << "say \"hi" << "say \"hi\"";
    QTest::newRow("apostrophe") << "it's" << "it's";
    QTest::newRow("underscore") << "a_c" << "abc";
    QTest::newRow("percent") << "x%z" << "x and z";
}

void tst_Search::searchTextIsLiteralButForWildcards()
{
    QFETCH(QString, text);
    QFETCH(QString, found);
    MainWindowFixture f;
    for (const char *keywords : {"say \"hi\"", "it's", "abc", "x and z"})
        f.db.addSpeech(1, QString::fromUtf8(keywords));
    search(f, text);
    QCOMPARE(f.recorder.messages(), QStringList());
    QCOMPARE(f.ui()->dbeKeywords->text(), found);
    QCOMPARE(f.form->searchCount(), 1);
}

void tst_Search::languageSwitchRepeatsTheSearch()
{
    MainWindowFixture f;
    f.db.addSpeech(2, QStringLiteral("bye bye"));
    f.db.addSpeech(2, QStringLiteral("goodbye"));
    search(f, QStringLiteral("bye"));
    QCOMPARE(f.form->statusPanel(0)->text(), QStringLiteral("Search results: 1"));
    f.selectLanguage(2); // Leeg: none, and the count of the last hits stays
    QCOMPARE(f.recorder.messages(), QStringList{QStringLiteral("No matches found.")});
    QCOMPARE(f.form->currentTaalId(), 3); // the switch took effect
    QVERIFY(f.form->tblSpeech.isEmpty());
    QCOMPARE(f.form->statusPanel(0)->text(), QStringLiteral("Search results: 1"));
    f.selectLanguage(0); // by way of English to Deutsch: two hits
    QCOMPARE(f.ui()->dbeKeywords->text(), QStringLiteral("bye bye"));
    QCOMPARE(f.form->statusPanel(0)->text(), QStringLiteral("Search results: 2"));
}

void tst_Search::searchStoresChangedSpeechBeforeTheJump()
{
    MainWindowFixture f;
    f.focus(f.ui()->dbmComments);
    f.type(QStringLiteral("A"));
    search(f, QStringLiteral("nothing like it")); // no hits: the edit stays open
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Edit);
    f.recorder.clear();
    search(f, QStringLiteral("bye"));
    QCOMPARE(f.form->tblSpeech.state(), DataSetState::Browse);
    QCOMPARE(f.db.text(QStringLiteral("select Comments from Speeches where ID = %1").arg(f.english[0])), QStringLiteral("Ac1"));

    f.focus(f.ui()->dbmComments);
    f.type(QStringLiteral("B"));
    f.press(Qt::Key_F3);
    QCOMPARE(f.db.text(QStringLiteral("select Comments from Speeches where ID = %1").arg(f.english[2])), QStringLiteral("Bc3"));
}

void tst_Search::copyPutsTheStoredTextOnTheClipboard_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("edit mode") << false;
    QTest::newRow("read-only") << true;
}

void tst_Search::copyPutsTheStoredTextOnTheClipboard()
{
    QFETCH(bool, readOnly);
    MainWindowFixture f(readOnly);
    const QString text = QStringLiteral("Grüße, élève, Привет\r\nsecond line");
    f.db.execute(QStringLiteral("update Speeches set Tekst = '%1' where ID = %2").arg(text).arg(f.english[0]));
    f.db.execute(QStringLiteral("update Speeches set Tekst = NULL where ID = %1").arg(f.english[1]));
    f.db.execute(QStringLiteral("update Speeches set Tekst = '' where ID = %1").arg(f.english[2]));
    if (!readOnly)
        f.ui()->DataSetRefresh->trigger();
    else
        f.form->tblSpeech.refresh();
    f.focus(f.ui()->dbmTekst);
    f.press(Qt::Key_F4);
    QCOMPARE(QGuiApplication::clipboard()->text(), text);
    if (!readOnly) {
        f.type(QStringLiteral("typed "));
        f.press(Qt::Key_F4); // the field has not taken the typed text yet
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        f.press(Qt::Key_Escape);
    }
    for (int i = 0; i < 2; ++i) {
        QGuiApplication::clipboard()->setText(QStringLiteral("previous"));
        f.press(Qt::Key_PageDown);
        f.press(Qt::Key_F4); // a null text and an empty one both empty the clipboard
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }
}

// Enter in a picker that pastes into a terminal: the speech goes without its control characters,
// and, since it has a line end, only once the user says Yes.
void tst_Search::pickerPastesIntoATerminalOnlyWhatCannotSteerIt()
{
    MainWindowFixture f;
    f.db.execute(QStringLiteral("update Speeches set Tekst = 'ls\x1b[201~\nrm -rf ~' where ID = %1").arg(f.english[0]));
    TPickForm picker(f.form->Connection, [&f] { return f.form->currentTaalId(); });
    picker.setPastesAfterCopy(true);
    picker.setPastesIntoTerminal(true);
    QSignalSpy copied(&picker, &TPickForm::copied);
    picker.open();
    QTest::keyClicks(picker.ui()->edSearch, QStringLiteral("hello"));
    QTRY_COMPARE(picker.ui()->lbSpeeches->currentItem() ? picker.ui()->lbSpeeches->currentItem()->text() : QString(),
                 QStringLiteral("hello"));
    QGuiApplication::clipboard()->setText(QStringLiteral("previous"));
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        answerNextModal([answer](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box && box->text().contains(QLatin1String("terminal")));
            box->button(answer)->click();
        });
        QTest::keyClick(picker.ui()->edSearch, Qt::Key_Return);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(copied.size(), answer == QMessageBox::Yes ? 1 : 0);
        if (answer == QMessageBox::No) // nothing copied, and the picker stays for another choice
            QVERIFY(QGuiApplication::clipboard()->text() == QLatin1String("previous") && picker.isVisible());
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ls[201~\nrm -rf ~"));
    QVERIFY(!picker.isVisible());
}

// Keys the database assigned beyond 32 bits: a hit, the copy, the language and the
// read-only switch all reach the row with the whole key, never one that shares its low bits.
void tst_Search::keysBeyond32BitsReachTheRightSpeech()
{
    MainWindowFixture f;
    const qint64 big = (qint64(1) << 32);
    f.db.execute(QStringLiteral("insert into Taal (ID, Taal) values (%1, 'Aardig')").arg(big + 1));
    for (const qint64 id : {qint64(7), big + 7})
        f.db.execute(QStringLiteral("insert into Speeches (ID, TaalID, Keywords, Tekst) values (%1, %2, '%3', '%4')")
                         .arg(id).arg(big + 1).arg(id == 7 ? "near" : "far", id == 7 ? "Near" : "Far away"));
    f.close();
    f.folder.writeSettings("[MainForm]\nIndex=0\nRO=1\n");
    f.open();
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("Aardig"));
    QCOMPARE(f.form->currentTaalId(), big + 1);
    QCOMPARE(f.form->tblSpeech.recordCount(), 2);
    search(f, QStringLiteral("far"));
    QCOMPARE(f.form->tblSpeechID->asLargeInt(), big + 7);
    f.press(Qt::Key_F4);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Far away"));
    f.ui()->actSetReadOnly->trigger();
    QCOMPARE(f.form->tblSpeechID->asLargeInt(), big + 7);

    f.ui()->actSetReadOnly->trigger();
    f.ui()->DataSetInsert->trigger();
    f.form->tblSpeechKeywords->setAsString(QStringLiteral("new"));
    f.ui()->DataSetPost->trigger();
    QCOMPARE(f.db.text(QStringLiteral("select TaalID from Speeches where Keywords = 'new'")), QString::number(big + 1));
    QCOMPARE(f.recorder.messages(), QStringList());
}

void tst_Search::hintsFollowMouseAndMenus()
{
    MainWindowFixture f;
    TApplication *app = TApplication::instance();
    QLabel *panel = f.form->statusPanel(HintPanelIndex);
    QSignalSpy changes(app, &TApplication::hintChanged);

    QTest::mouseMove(f.ui()->cbLanguage->lineEdit());
    QTRY_COMPARE(panel->text(), QStringLiteral("Change language"));
    QTest::mouseMove(f.ui()->dbmTekst->viewport());
    QTRY_COMPARE(panel->text(), QStringLiteral("Canned speech"));
    QTest::mouseMove(f.form->findChild<QToolButton *>(QStringLiteral("ToolButton1")));
    QTRY_COMPARE(panel->text(), QStringLiteral("First"));
    QTest::mouseMove(f.form->statusPanel(0));
    QTRY_COMPARE(panel->text(), QString()); // nothing on the way up has a hint

    // Two controls with the same long hint raise the event once.
    f.ui()->Label1->setProperty("hint", QStringLiteral("|Canned speech"));
    QTest::mouseMove(f.ui()->dbmTekst->viewport());
    QTRY_COMPARE(panel->text(), QStringLiteral("Canned speech"));
    const int before = int(changes.size());
    QTest::mouseMove(f.ui()->Label1);
    QTest::qWait(50);
    QCOMPARE(int(changes.size()), before);

    // The controls of the Find and Languages dialogs, while the dialog is open.
    const int besideWindow = f.form->frameGeometry().right() + 20;
    const auto hintWhileOpen = [&](QAction *opener, const QString &control, const QString &hint) {
        bool shownWhileOpen = false;
        answerNextModal([&](QWidget *dialog) {
            // Checked here and judged after the dialog has closed, so that a failure cannot
            // leave the dialog open. The dialog is moved off the main window, since the test
            // platform gives the mouse to the first window under it, modal or not.
            dialog->move(besideWindow, 0);
            if (QTest::qWaitForWindowExposed(dialog)) {
                QTest::mouseMove(dialog->findChild<QWidget *>(control));
                shownWhileOpen = QTest::qWaitFor([&] { return panel->text() == hint; });
            }
            static_cast<QDialog *>(dialog)->done(QDialog::Rejected);
        });
        opener->trigger();
        f.activate();
        return shownWhileOpen;
    };
    QVERIFY(hintWhileOpen(f.ui()->actFind, QStringLiteral("Edit1"), QStringLiteral("Find keywords")));
    QVERIFY(hintWhileOpen(f.ui()->actLanguages, QStringLiteral("DBGrid1"), QStringLiteral("Languages")));
    QVERIFY(hintWhileOpen(f.ui()->actLanguages, QStringLiteral("ToolButton5"), QStringLiteral("Insert")));

    // A highlighted menu item speaks for its action; closing the menu empties the panel.
    f.ui()->Edit1->popup(f.form->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(f.ui()->Edit1->isVisible());
    f.ui()->Edit1->setActiveAction(f.ui()->actFind);
    QTRY_COMPARE(panel->text(), QStringLiteral("Find keywords"));
    // The highlight leaves the items for the separator: nothing to explain.
    QAction *separator = f.ui()->Edit1->actions().at(4);
    QVERIFY(separator->isSeparator());
    QTest::mouseMove(f.ui()->Edit1, f.ui()->Edit1->actionGeometry(separator).center());
    QTRY_COMPARE(panel->text(), QString());
    QTest::mouseMove(f.ui()->Edit1, f.ui()->Edit1->actionGeometry(f.ui()->actFindNext).center());
    QTRY_COMPARE(panel->text(), QStringLiteral("Find next keyword"));
    f.ui()->Edit1->hide();
    QTRY_COMPARE(panel->text(), QString());

    // A disabled item speaks too: nothing is being edited, so Post is disabled.
    QMenu *speeches = f.ui()->Dataset1;
    QVERIFY(!f.ui()->DataSetPost->isEnabled());
    speeches->popup(f.form->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(speeches->isVisible());
    QTest::mouseMove(speeches, speeches->actionGeometry(f.ui()->DataSetPost).center());
    QTRY_COMPARE(panel->text(), QStringLiteral("Post"));
    speeches->hide();
    QTRY_COMPARE(panel->text(), QString());

    // Record buttons the tool bar has no room for speak from its overflow pop-up.
    f.form->resize(f.form->minimumSizeHint().width(), f.form->height());
    auto *overflow = f.ui()->ToolBar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    QTRY_VERIFY(overflow && overflow->isVisible());
    QTest::mouseClick(overflow, Qt::LeftButton);
    auto *cancel = f.form->findChild<QToolButton *>(QStringLiteral("ToolButton9"));
    QTRY_VERIFY(cancel->isVisible());
    QTest::mouseMove(cancel);
    QTRY_COMPARE(panel->text(), QStringLiteral("Cancel"));
}

void tst_Search::countShowsWholeAtLargerFonts_data()
{
    QTest::addColumn<double>("fontScale");
    QTest::newRow("the desktop's font") << 1.0;
    QTest::newRow("one and a half times it") << 1.5;
}

void tst_Search::countShowsWholeAtLargerFonts()
{
    QFETCH(double, fontScale);
    const QFont desktopFont = QApplication::font();
    QFont font = desktopFont;
    font.setPointSizeF(desktopFont.pointSizeF() * fontScale);
    QApplication::setFont(font);
    const auto restoreFont = qScopeGuard([&desktopFont] { QApplication::setFont(desktopFont); });
    MainWindowFixture f;
    f.db.execute(QStringLiteral("insert into Speeches (TaalID, Keywords) select 1, 'many' from "
                                "(with recursive n(i) as (select 1 union all select i + 1 from n where i < 1234) "
                                "select i from n) as numbers"));
    search(f, QStringLiteral("many"));
    QLabel *panel = f.form->statusPanel(0);
    QCOMPARE(panel->text(), QStringLiteral("Search results: 1234"));
    QTRY_VERIFY(panel->width() >= panel->sizeHint().width());
    QVERIFY(panel->height() >= panel->sizeHint().height());
    QLabel *hints = f.form->statusPanel(HintPanelIndex);
    QVERIFY(hints->height() >= hints->sizeHint().height());
}

TINLARK_TEST_MAIN(tst_Search)
#include "tst_Search.moc"
