#include "ConnectionString.h"
#include "EDatabaseError.h"
#include "TestMain.h"

class tst_ConnectionString : public QObject
{
    Q_OBJECT

private slots:
    void dataSourceIsReadWhole_data();
    void dataSourceIsReadWhole();
    void unclosedQuoteIsRefused();
};

void tst_ConnectionString::dataSourceIsReadWhole_data()
{
    QTest::addColumn<QString>("connectionString");
    QTest::addColumn<QString>("dataSource");

    const QString tail = QStringLiteral(";Jet OLEDB:Engine Type=4");
    QTest::newRow("the program's own") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/ann/Speeches.csp" + tail
                                       << "/home/ann/Speeches.csp";
    QTest::newRow("last item with a closing ';'") << "Data Source=/a/c.csp;" << "/a/c.csp";
    QTest::newRow("no such item") << "Provider=X;Mode=Read" << "";
    QTest::newRow("key in other letters") << "data source=/a/c.csp" + tail << "/a/c.csp";
    QTest::newRow("key inside another value") << "Provider=Data Source=x;Data Source=/a/c.csp" << "/a/c.csp";
    // A ';' ends the value only where a name and '=' follow it (the fuzz target's seeds hold
    // the quoted values and the white space of other scripts).
    QTest::newRow("';' in the path") << "Data Source=/a;b/c.csp" + tail << "/a;b/c.csp";
    QTest::newRow("';' and '=' in the path") << "Data Source=/a;b=c/d.csp" + tail << "/a";
    QTest::newRow("name after ASCII spaces") << "Data Source=/a.csp; \t\r\nMode=1" << "/a.csp";
    QTest::newRow("name starting with a digit") << "Data Source=/a.csp;1x=2" << "/a.csp;1x=2";
    QTest::newRow("name holding another sign") << "Data Source=/a.csp;Sys-DB=x" << "/a.csp;Sys-DB=x";
}

void tst_ConnectionString::dataSourceIsReadWhole()
{
    QFETCH(QString, connectionString);
    QFETCH(QString, dataSource);
    QCOMPARE(ConnectionString::dataSource(connectionString), dataSource);
}

void tst_ConnectionString::unclosedQuoteIsRefused()
{
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ConnectionString::dataSource("Data Source=\"/a.csp;Mode=1"));
}

TINLARK_TEST_MAIN(tst_ConnectionString)
#include "tst_ConnectionString.moc"
