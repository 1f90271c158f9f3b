#include "ExceptionRecorder.h"
#include "JetFixtures.h"
#include "JetImport.h"
#include "Mainfrm.h"
#include "ModalDialogHelper.h"
#include "TestFolder.h"
#include "TestMain.h"
#include "ui_Mainfrm.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

using namespace JetFixtures;

namespace {

// Answers the start-up question with a key on the button of that caption and keeps its message.
void answerQuestion(const QString &button, QString *message)
{
    answerNextModal([button, message](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QVERIFY(box);
        *message = box->text();
        for (QAbstractButton *each : box->buttons()) {
            if (each->text().remove(QLatin1Char('&')) == button)
                return QTest::keyClick(each, Qt::Key_Space);
        }
        QFAIL(qPrintable(QStringLiteral("no button %1").arg(button)));
    });
}

// Presses Cancel on the conversion's progress the moment it shows.
class CancelOnShow : public QObject
{
public:
    CancelOnShow() { qApp->installEventFilter(this); }
    ~CancelOnShow() override { qApp->removeEventFilter(this); }
    bool pressed = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *progress = qobject_cast<QProgressDialog *>(watched);
        if (progress && event->type() == QEvent::Show && !pressed) {
            pressed = true;
            QTest::keyClick(progress->findChild<QPushButton *>(), Qt::Key_Space);
        }
        return false;
    }
};

QStringList filesIn(const TestFolder &folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class tst_JetImport : public QObject
{
    Q_OBJECT

private slots:
    void yesConvertsKeepsTheOriginalAndStarts_data();
    void yesConvertsKeepsTheOriginalAndStarts();
    void otherwiseTheFileStaysAsItWas_data();
    void otherwiseTheFileStaysAsItWas();
};

void tst_JetImport::yesConvertsKeepsTheOriginalAndStarts_data()
{
    QTest::addColumn<QString>("jetPath");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("firstLanguage");
    QTest::newRow("Jet 4") << jet4Path() << QStringList() << "Speeches.csp.jet" << "Deutsch – Straße €";
    QTest::newRow("Jet 3, a .jet there already")
        << jet3Path() << QStringList{QStringLiteral("Speeches.csp.jet")} << "Speeches.csp.jet.1" << "Deutsch – Straße €";
    QTest::newRow("Jet 3, .jet and .jet.1 taken") << jet3Path()
                                                  << QStringList{QStringLiteral("Speeches.csp.jet"), QStringLiteral("Speeches.csp.jet.1")}
                                                  << "Speeches.csp.jet.2" << "Deutsch – Straße €";
}

void tst_JetImport::yesConvertsKeepsTheOriginalAndStarts()
{
    QFETCH(QString, jetPath);
    QFETCH(QStringList, taken);
    QFETCH(QString, kept);
    QFETCH(QString, firstLanguage);
    TestFolder folder;
    write(folder.databasePath(), read(jetPath));
    for (const QString &name : taken)
        write(folder.filePath(name), name.toUtf8());
    ExceptionRecorder recorder;
    QString question;
    answerQuestion(QStringLiteral("Yes"), &question);
    {
        TForm1 form;
        QCOMPARE(recorder.messages(), QStringList());
        QVERIFY2(question.contains(folder.databasePath()) && question.contains(kept), qPrintable(question));
        QCOMPARE(form.ui()->cbLanguage->count(), jetPath == jet4Path() ? 4 : 3);
        QCOMPARE(form.ui()->cbLanguage->currentText(), firstLanguage);
    }
    QCOMPARE(differencesFromExpected(folder.databasePath(), expectedJsonOf(jetPath)), QStringList());
    QCOMPARE(read(folder.filePath(kept)), read(jetPath));
    for (const QString &name : taken)
        QCOMPARE(read(folder.filePath(name)), name.toUtf8());
    QCOMPARE(filesIn(folder).size(), taken.size() + 3); // the database, the original, the settings
}

void tst_JetImport::otherwiseTheFileStaysAsItWas_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("shown");
    const QByteArray jet3 = read(jet3Path());
    QByteArray password = jet3;
    xorHeader(password, 0x42, "secret");
    QByteArray accdb = read(jet4Path());
    accdb.replace(4, 15, "Standard ACE DB");
    accdb[0x14] = 3;
    QTest::newRow("No") << jet3 << "No" << false << QString();
    QTest::newRow("Yes, then Cancel") << jet3 << "Yes" << true << QString();
    QTest::newRow("Yes, but a password") << password << "Yes" << false << "it is protected by a password";
    QTest::newRow(".accdb: no question") << accdb << QString() << false << "Access 2007 or later database (.accdb)";
}

void tst_JetImport::otherwiseTheFileStaysAsItWas()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, answer);
    QFETCH(bool, cancel);
    QFETCH(QString, shown);
    TestFolder folder;
    write(folder.databasePath(), content);
    ExceptionRecorder recorder;
    QString question;
    if (!answer.isEmpty())
        answerQuestion(answer, &question);
    JetImport::setProgressDelay(0);
    {
        CancelOnShow canceller;
        TForm1 form;
        QCOMPARE(canceller.pressed, cancel);
        QCOMPARE(question.isEmpty(), answer.isEmpty());
        if (shown.isEmpty()) {
            QCOMPARE(recorder.messages(), QStringList());
        } else {
            QCOMPARE(recorder.messages().size(), 1);
            QVERIFY2(recorder.messages().first().startsWith(QStringLiteral("Cannot convert %1: ").arg(folder.databasePath()))
                         && recorder.messages().first().contains(shown),
                     qPrintable(recorder.messages().first()));
        }
        QCOMPARE(form.ui()->cbLanguage->count(), 0); // running on as without a database
    }
    JetImport::setProgressDelay(500);
    QCOMPARE(read(folder.databasePath()), content);
    QCOMPARE(filesIn(folder), (QStringList{QStringLiteral("Speeches.csp"), QStringLiteral("Tinlark.ini")}));
}

TINLARK_TEST_MAIN(tst_JetImport)
#include "tst_JetImport.moc"
