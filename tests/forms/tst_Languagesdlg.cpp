#include "DBGridModel.h"
#include "EDatabaseError.h"
#include "Field.h"
#include "FontScale.h"
#include "Languagesdlg.h"
#include "RecordSet.h"
#include "MainWindowFixture.h"
#include "ModalDialogHelper.h"
#include "TDBGrid.h"
#include "TMessageForm.h"
#include "TestMain.h"
#include "Wwmsgdlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace {

// The languages dialog over the main window's language list (Deutsch, English, Leeg),
// shown without a modal loop so that keys can be sent to it, its grid focused.
struct DialogFixture : MainWindowFixture
{
    std::unique_ptr<TLanguagesDialog> dialog;

    DialogFixture()
    {
        form->tblTaal.open();
        dialog = std::make_unique<TLanguagesDialog>(form.get());
        dialog->SetDataSet(&form->tblTaal);
        dialog->show();
        dialog->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(dialog.get())); }();
        focus(dialog->DBGrid1);
    }
    ~DialogFixture()
    {
        dialog.reset();
        form->tblTaal.close();
    }

    // The enabled actions, by name without their "DataSet" prefix.
    QStringList enabled() const
    {
        QStringList names;
        for (QAction *action : dialog->actionList())
            if (action->isEnabled())
                names.append(action->objectName().mid(7));
        return names;
    }
    QStringList shown() const
    {
        QStringList names;
        DBGridModel *model = dialog->DBGrid1->gridModel();
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(model->index(row, 0).data().toString());
        return names;
    }
    QString language() const { return form->tblTaalTaal->asString(); }
    // Each key goes where the focus is by then, as the first one may open the cell editor.
    void typeInGrid(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
};

const QStringList NotEditing{"Insert", "Delete", "Edit", "Refresh"};
const QStringList Moves{"First", "Prior", "Next", "Last"};

QStringList statesWith(const QStringList &moves)
{
    return moves + NotEditing;
}

// Answers the next delete question by key or button and keeps its message.
void answerQuestion(const QString &how, QString *message)
{
    answerNextModal([how, message](QWidget *box) {
        auto *form = qobject_cast<TMessageForm *>(box);
        QVERIFY(form);
        *message = form->findChild<QLabel *>(QStringLiteral("Message"))->text();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QWidget *focused = form->focusWidget();
        QVERIFY(focused);
        QCOMPARE(focused->objectName(), QStringLiteral("No"));
        if (how == QLatin1String("Enter"))
            QTest::keyClick(focused, Qt::Key_Return);
        else if (how == QLatin1String("Esc"))
            QTest::keyClick(focused, Qt::Key_Escape);
        else
            form->findChild<QPushButton *>(how)->click();
    });
}

} // namespace

class tst_Languagesdlg : public QObject
{
    Q_OBJECT

private slots:
    void layoutAndToolBar();
    void actionStatesFollowTheKeys_data();
    void actionStatesFollowTheKeys();
    void insertInTheMiddleAddsTheRowAtTheEnd();
    void escCancelsAndCtrlEnterPostsInTheGrid();
    void renameOverAnotherUsersChangeKeepsTheText();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void deleteSaysHowManySpeechesGoOutOfSight_data();
    void deleteSaysHowManySpeechesGoOutOfSight();
    void withoutLanguagesEditStartsANewRow();
    void pendingRowIsKeptByOkAndDroppedByTheCloseBox_data();
    void pendingRowIsKeptByOkAndDroppedByTheCloseBox();
    void mainWindowSelectorFollowsTheChanges();
    void ownersScrollListenerOutlivesTheDialog();
};

void tst_Languagesdlg::layoutAndToolBar()
{
    DialogFixture f;
    TLanguagesDialog *d = f.dialog.get();
    QCOMPARE(d->windowTitle(), QStringLiteral("Languages"));
    // The layout's pixels, grown for the font in use.
    const auto px = [d](int pixels) { return FontScale::scaled(pixels, d->font()); };
    QCOMPARE(d->size(), QSize(px(337), px(207)));
    QCOMPARE(d->btnOk->pos(), QPoint(px(257), px(178)));
    QVERIFY(!d->btnCancel->isVisibleTo(d));
    QCOMPARE(d->Bevel1->geometry().top(), px(170));
    QCOMPARE(d->DBGrid1->geometry(), QRect(px(8), px(40), px(321), px(120)));
    QCOMPARE(d->DBGrid1->property("hint").toString(), QStringLiteral("|Languages"));
    QCOMPARE(d->DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Language"));
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Leeg"}));
    for (int i = 0; i < 10; ++i) {
        auto *button = d->ToolBar1->findChild<QToolButton *>(QStringLiteral("ToolButton%1").arg(i + 1));
        QVERIFY(button);
        QCOMPARE(button->defaultAction(), d->actionList()[i]);
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->toolTip(), d->actionList()[i]->objectName().mid(7));
    }
    QCOMPARE(d->DataSetPost->shortcuts().value(0), QKeySequence(Qt::ControlModifier | Qt::Key_Return));

    // Esc reaches no hidden Cancel button; the close box answers Cancel.
    f.press(Qt::Key_Escape);
    QVERIFY(d->isVisible());
    d->close();
    QCOMPARE(d->result(), int(mrCancel));
}

void tst_Languagesdlg::actionStatesFollowTheKeys_data()
{
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<QStringList>("expected");
    const QKeyCombination pgUp(Qt::Key_PageUp), pgDn(Qt::Key_PageDown);
    const QKeyCombination first(Qt::ControlModifier, Qt::Key_PageUp), last(Qt::ControlModifier, Qt::Key_PageDown);
    QTest::newRow("opened") << QList<QKeyCombination>{} << statesWith({"Next", "Last"});
    QTest::newRow("first") << QList{pgDn, first} << statesWith({"Next", "Last"});
    QTest::newRow("step to the first") << QList{pgDn, pgUp} << statesWith(Moves);
    QTest::newRow("prior before the first") << QList{pgDn, pgUp, pgUp} << statesWith({"Next", "Last"});
    QTest::newRow("last") << QList{last} << statesWith({"First", "Prior"});
    QTest::newRow("steps to the last") << QList{pgDn, pgDn} << statesWith(Moves);
    QTest::newRow("next past the last") << QList{pgDn, pgDn, pgDn} << statesWith({"First", "Prior"});
    QTest::newRow("editing") << QList{QKeyCombination(Qt::Key_F2)} << QStringList{"Post", "Cancel"};
    QTest::newRow("inserting") << QList{QKeyCombination(Qt::ControlModifier, Qt::Key_Insert)}
                               << QStringList{"Post", "Cancel"};
    QTest::newRow("typing") << QList{QKeyCombination(Qt::Key_X)} << QStringList{"Post", "Cancel"};
    QTest::newRow("grid's insert") << QList{QKeyCombination(Qt::Key_Insert)} << QStringList{"Post", "Cancel"};
}

void tst_Languagesdlg::actionStatesFollowTheKeys()
{
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(QStringList, expected);
    DialogFixture f;
    for (const QKeyCombination key : keys)
        f.press(key.key(), key.keyboardModifiers());
    QCOMPARE(f.enabled(), expected);
    QVERIFY(f.recorder.messages().isEmpty());
}

void tst_Languagesdlg::insertInTheMiddleAddsTheRowAtTheEnd()
{
    DialogFixture f;
    f.press(Qt::Key_PageDown);
    f.focus(f.dialog->btnOk);
    f.dialog->DataSetInsert->trigger(); // as the tool button does
    QVERIFY(f.dialog->DBGrid1->hasFocus());
    QCOMPARE(f.form->tblTaal.state(), DataSetState::Insert);
    QCOMPARE(f.dialog->DBGrid1->currentIndex().row(), 3);
    f.typeInGrid(QStringLiteral("Zulu"));
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.form->tblTaal.state(), DataSetState::Browse);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Leeg", "Zulu"}));
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal where Taal = 'Zulu'")), 1);
    QVERIFY(f.dialog->isVisible());
}

void tst_Languagesdlg::escCancelsAndCtrlEnterPostsInTheGrid()
{
    DialogFixture f;
    f.typeInGrid(QStringLiteral("Dutch"));
    QVERIFY(f.dialog->DBGrid1->cellEditor());
    f.press(Qt::Key_Escape);
    QCOMPARE(f.form->tblTaal.state(), DataSetState::Browse);
    QVERIFY(!f.dialog->DBGrid1->cellEditor());
    QCOMPARE(f.language(), QStringLiteral("Deutsch"));
    QVERIFY(f.dialog->isVisible()); // Esc went to the Cancel action, not to the dialog

    f.typeInGrid(QStringLiteral("Dutch"));
    f.press(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(f.form->tblTaal.state(), DataSetState::Browse);
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal where ID = 2")), QStringLiteral("Dutch"));
    QVERIFY(f.dialog->isVisible());
}

// Another user renamed the language after the dialog read it: the rename is refused with a
// message, the typed name stays in edit, and Esc then F5 show the other user's name.
void tst_Languagesdlg::renameOverAnotherUsersChangeKeepsTheText()
{
    DialogFixture f;
    f.typeInGrid(QStringLiteral("Dutch"));
    f.db.execute(QStringLiteral("update Taal set Taal = 'Duits' where ID = 2"));
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.recorder.messages().size(), 1);
    QVERIFY2(f.recorder.messages().first().contains(QLatin1String("someone else changed it")),
             qPrintable(f.recorder.messages().first()));
    QCOMPARE(f.form->tblTaal.state(), DataSetState::Edit);
    QCOMPARE(f.language(), QStringLiteral("Dutch"));
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal where ID = 2")), QStringLiteral("Duits"));
    f.press(Qt::Key_Escape);
    f.press(Qt::Key_F5);
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("Duits"), QStringLiteral("English"), QStringLiteral("Leeg")}));
}

void tst_Languagesdlg::deleteAsksFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("Enter") << QStringLiteral("Enter") << false;
    QTest::newRow("Esc") << QStringLiteral("Esc") << false;
    QTest::newRow("No") << QStringLiteral("No") << false;
    QTest::newRow("Yes") << QStringLiteral("Yes") << true;
}

void tst_Languagesdlg::deleteAsksFirst()
{
    QFETCH(QString, answer);
    QFETCH(bool, deleted);
    DialogFixture f;
    f.press(Qt::Key_PageDown);
    f.press(Qt::Key_PageDown); // Leeg, which has no speeches
    QString message;
    answerQuestion(answer, &message);
    f.press(Qt::Key_Delete, Qt::ControlModifier);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(message, QStringLiteral("Are you sure you want to delete this language?"));
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal where Taal = 'Leeg'")), deleted ? 0 : 1);
    QCOMPARE(f.shown().contains(QStringLiteral("Leeg")), !deleted);
}

void tst_Languagesdlg::deleteSaysHowManySpeechesGoOutOfSight_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one") << 0 << QStringLiteral("\n1 speech filed under it will no longer be shown.");
    QTest::newRow("three") << 1 << QStringLiteral("\n3 speeches filed under it will no longer be shown.");
    QTest::newRow("none") << 2 << QString();
}

void tst_Languagesdlg::deleteSaysHowManySpeechesGoOutOfSight()
{
    QFETCH(int, row);
    QFETCH(QString, expected);
    DialogFixture f;
    f.form->tblTaal.setRecNo(row);
    QString message;
    setMessageFormAnswer([&message](TMessageForm &form) {
        message = form.findChild<QLabel *>(QStringLiteral("Message"))->text();
        return int(mrNo);
    });
    f.dialog->DataSetDeleteExecute();
    setMessageFormAnswer(nullptr);
    QCOMPARE(message, QStringLiteral("Are you sure you want to delete this language?") + expected);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal")), 3);
}

void tst_Languagesdlg::withoutLanguagesEditStartsANewRow()
{
    DialogFixture f;
    f.db.execute(QStringLiteral("delete from Taal"));
    f.press(Qt::Key_F5);
    QCOMPARE(f.shown(), QStringList());
    QCOMPARE(f.enabled(), NotEditing);
    f.focus(f.dialog->btnOk);
    f.press(Qt::Key_F2);
    QCOMPARE(f.form->tblTaal.state(), DataSetState::Insert);
    QVERIFY(f.dialog->DBGrid1->hasFocus());
    QCOMPARE(f.shown(), QStringList{QString()});
    f.typeInGrid(QStringLiteral("Frans"));
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal")), QStringLiteral("Frans"));

    // Deleting from an empty list asks, then the list refuses. The handler is called
    // directly: an exception unwinding through QAction's frames leaks Qt's guard there.
    f.form->tblTaal.deleteRecord();
    bool asked = false;
    setMessageFormAnswer([&asked](TMessageForm &) {
        asked = true;
        return int(mrYes);
    });
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, f.dialog->DataSetDeleteExecute());
    setMessageFormAnswer(nullptr);
    QVERIFY(asked);
}

void tst_Languagesdlg::pendingRowIsKeptByOkAndDroppedByTheCloseBox_data()
{
    QTest::addColumn<bool>("byOk");
    QTest::addColumn<bool>("inserting");
    QTest::addColumn<int>("stored");
    QTest::newRow("edited, OK") << true << false << 1;
    QTest::newRow("edited, close box") << false << false << 0;
    QTest::newRow("inserted, OK") << true << true << 1;
    QTest::newRow("inserted, close box") << false << true << 0;
}

void tst_Languagesdlg::pendingRowIsKeptByOkAndDroppedByTheCloseBox()
{
    QFETCH(bool, byOk);
    QFETCH(bool, inserting);
    QFETCH(int, stored);
    MainWindowFixture f;
    answerNextModal([=](QWidget *widget) {
        auto *dialog = qobject_cast<TLanguagesDialog *>(widget);
        QVERIFY(dialog);
        dialog->DBGrid1->setFocus();
        QTRY_VERIFY(dialog->DBGrid1->hasFocus());
        if (inserting)
            QTest::keyClick(dialog->DBGrid1, Qt::Key_Insert, Qt::ControlModifier);
        for (const QChar c : QStringLiteral("Zulu"))
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
        QVERIFY(dialog->DBGrid1->cellEditor()); // the text is still in the cell's editor
        if (byOk)
            dialog->btnOk->click();
        else
            dialog->close();
    });
    f.ui()->actLanguages->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal where Taal = 'Zulu'")), stored);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal")), 3 + (inserting ? stored : 0));
    QVERIFY(!f.form->tblTaal.active());
    QVERIFY(f.recorder.messages().isEmpty());
}

void tst_Languagesdlg::mainWindowSelectorFollowsTheChanges()
{
    MainWindowFixture f;
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("English"));
    const int speechId = f.currentId();
    // Rename the selected English (second row) to Zweeds, add Afrikaans, delete Leeg.
    answerNextModal([](QWidget *widget) {
        auto *dialog = qobject_cast<TLanguagesDialog *>(widget);
        QVERIFY(dialog);
        dialog->DBGrid1->setFocus();
        QTRY_VERIFY(dialog->DBGrid1->hasFocus());
        auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), k, m);
        };
        auto type = [](const QString &text) {
            for (const QChar c : text)
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
        };
        key(Qt::Key_Down);
        type(QStringLiteral("Zweeds"));
        key(Qt::Key_Down); // stores it and moves to Leeg
        setMessageFormAnswer([](TMessageForm &) { return int(mrYes); });
        key(Qt::Key_Delete, Qt::ControlModifier);
        setMessageFormAnswer(nullptr);
        key(Qt::Key_Insert, Qt::ControlModifier);
        type(QStringLiteral("Afrikaans"));
        key(Qt::Key_Return); // finishes the cell
        QTRY_VERIFY(!dialog->DBGrid1->cellEditor());
        QVERIFY(dialog->isVisible());
        key(Qt::Key_Return); // presses OK
    });
    f.ui()->actLanguages->trigger();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QStringList items;
    for (int i = 0; i < f.ui()->cbLanguage->count(); ++i)
        items.append(f.ui()->cbLanguage->itemText(i));
    QCOMPARE(items, (QStringList{"Afrikaans", "Deutsch", "Zweeds"}));
    QCOMPARE(f.ui()->cbLanguage->currentText(), QStringLiteral("Zweeds"));
    QCOMPARE(f.form->currentTaalId(), 1);
    QCOMPARE(f.currentId(), speechId);
    QVERIFY(f.recorder.messages().isEmpty());
}

// The dialog listens to the borrowed record set's scroll beside its owner: the owner is still
// told while the dialog is open and once it has gone.
void tst_Languagesdlg::ownersScrollListenerOutlivesTheDialog()
{
    QStringList told;
    MainWindowFixture f;
    RecordSet &languages = f.form->tblTaal;
    languages.open();
    QObject::connect(&languages, &RecordSet::afterScroll, [&] { told.append(QStringLiteral("owner")); });
    {
        TLanguagesDialog dialog(f.form.get());
        dialog.SetDataSet(&languages);
        languages.last();
        QCOMPARE(told, QStringList{"owner"});
    }
    told.clear();
    languages.first();
    QCOMPARE(told, QStringList{"owner"});
    languages.close();
}

TINLARK_TEST_MAIN(tst_Languagesdlg)
#include "tst_Languagesdlg.moc"
