// What a version changed against the one before, as the history list shows it.

#include "TestMain.h"
#include "VersionChange.h"

class tst_VersionChange : public QObject
{
    Q_OBJECT

private slots:
    void namesWhatChanged_data();
    void namesWhatChanged();
};

void tst_VersionChange::namesWhatChanged_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("summary");
    const QString letter = QStringLiteral("Dear Sir,\n\nThank you for your letter.\n");
    QTest::newRow("same text") << letter << letter << "text unchanged";
    QTest::newRow("paragraph added after a blank line")
        << letter << letter + "\nYours,\r\nAnna" << "line 5: added \"Yours, Anna\"";
    QTest::newRow("words removed at the end")
        << "Thank you for your letter and the gift." << "Thank you for your letter." << "line 1: removed \"and the gift\"";
    QTest::newRow("a letter put into a word") << "the cät sat" << "the cärt sat" << "line 1: \"cät\" became \"cärt\"";
    QTest::newRow("change on the third line, CR LF")
        << "one\r\ntwo\r\nthree\r\nfour" << "one\r\ntwo\r\nthree things\r\nfour" << "line 3: added \"things\"";
    QTest::newRow("old Mac line ends") << "one\rtwo" << "one\rtwo\rthree" << "line 3: added \"three\"";
    QTest::newRow("only a line break added") << "one two" << "one\ntwo" << "line 1: spaces became a line break";
    QTest::newRow("a line break at the end") << "one" << "one\n" << "line 1: added a line break";
    QTest::newRow("to nothing") << "Hello\nthere" << "" << "line 1: removed \"Hello there\"";
    QTest::newRow("emoji in the cut stays whole")
        << "x" << "x " + QString(38, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80")
        << "line 1: added \"" + QString(38, QLatin1Char('a')) + "…\"";
}

void tst_VersionChange::namesWhatChanged()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, summary);
    QCOMPARE(VersionChange::summary(before, after), summary);
}

TINLARK_TEST_MAIN(tst_VersionChange)
#include "tst_VersionChange.moc"
