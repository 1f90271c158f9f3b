#include "Exception.h"
#include "ModalDialogHelper.h"
#include "PasswordDlg.h"
#include "TApplication.h"
#include "TestMain.h"

#include <QDialog>
#include <QLabel>
#include <functional>

namespace {

// What a server's database name or a file's content may hold to look like the program's own words.
const QString Hostile = QStringLiteral("<h1><font color=red>Your session expired.</font></h1><a href=\"x\">Sign in");

} // namespace

// Text the program did not write (a server's name, a message quoting a file or a speech) is
// shown as it is, markup and all, never drawn as a heading or a link.
class tst_PlainText : public QObject
{
    Q_OBJECT

private slots:
    void labelsShowForeignTextAsItIs_data();
    void labelsShowForeignTextAsItIs();
};

void tst_PlainText::labelsShowForeignTextAsItIs_data()
{
    QTest::addColumn<std::function<void()>>("open");
    QTest::newRow("password question") << std::function<void()>([] {
        askServerPassword(QStringLiteral("localhost/") + Hostile, ServerPassword::Refused::Nothing);
    });
    QTest::newRow("error message") << std::function<void()>([] {
        TApplication::instance()->showException(Exception(QStringLiteral("Cannot open %1").arg(Hostile)));
    });
}

void tst_PlainText::labelsShowForeignTextAsItIs()
{
    QFETCH(std::function<void()>, open);
    int quoting = 0;
    answerNextModal([&quoting](QWidget *dialog) {
        for (const QLabel *label : dialog->findChildren<QLabel *>()) {
            if (!label->text().contains(Hostile))
                continue;
            ++quoting;
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        qobject_cast<QDialog *>(dialog)->reject();
    });
    open();
    QCOMPARE(quoting, 1);
}

TINLARK_TEST_MAIN(tst_PlainText)
#include "tst_PlainText.moc"
