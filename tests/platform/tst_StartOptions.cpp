// What a command line asks of a start: the main window, the picker, or nothing it can follow.

#include "StartOptions.h"
#include "TestMain.h"

class tst_StartOptions : public QObject
{
    Q_OBJECT

private slots:
    void readsTheCommandLine_data();
    void readsTheCommandLine();
};

void tst_StartOptions::readsTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("pick");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plain start") << QStringList{} << false << false;
    QTest::newRow("picker") << QStringList{QStringLiteral("--pick")} << true << false;
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--pik")} << false << true;
    QTest::newRow("a file") << QStringList{QStringLiteral("Speeches.csp")} << false << true;
    QTest::newRow("picker and a file") << QStringList{QStringLiteral("--pick"), QStringLiteral("x")} << true << true;
}

void tst_StartOptions::readsTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, pick);
    QFETCH(bool, refused);
    const StartOptions options = StartOptions::parse(QStringList{QStringLiteral("tinlark")} + arguments);
    QCOMPARE(options.pick, pick);
    QCOMPARE(!options.error.isEmpty(), refused);
}

TINLARK_TEST_MAIN(tst_StartOptions)
#include "tst_StartOptions.moc"
