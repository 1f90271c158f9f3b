// What a command line asks of a start: the main window, the picker, the usage or the version,
// or nothing it can follow.

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
    QTest::addColumn<QString>("answer"); // what is printed instead of a start
    QTest::newRow("plain start") << QStringList{} << false << false << QString();
    QTest::newRow("picker") << QStringList{QStringLiteral("--pick")} << true << false << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--pik")} << false << true << QString();
    QTest::newRow("a file") << QStringList{QStringLiteral("Speeches.csp")} << false << true << QString();
    QTest::newRow("picker and a file") << QStringList{QStringLiteral("--pick"), QStringLiteral("x")} << true << true << QString();
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << false << false << QStringLiteral("help");
    QTest::newRow("version, short") << QStringList{QStringLiteral("-V")} << false << false << QStringLiteral("version");
}

void tst_StartOptions::readsTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, pick);
    QFETCH(bool, refused);
    QFETCH(QString, answer);
    const StartOptions options = StartOptions::parse(QStringList{QStringLiteral("tinlark")} + arguments);
    QCOMPARE(options.pick, pick);
    QCOMPARE(!options.error.isEmpty(), refused);
    QCOMPARE(options.help, answer == QLatin1String("help"));
    QCOMPARE(options.version, answer == QLatin1String("version"));
}

TINLARK_TEST_MAIN(tst_StartOptions)
#include "tst_StartOptions.moc"
