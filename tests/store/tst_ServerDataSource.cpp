#include "ServerDataSource.h"
#include "TestMain.h"

class tst_ServerDataSource : public QObject
{
    Q_OBJECT

private slots:
    void toldFromAFilePath_data();
    void toldFromAFilePath();
};

void tst_ServerDataSource::toldFromAFilePath_data()
{
    QTest::addColumn<QString>("dataSource");
    QTest::addColumn<bool>("server");

    QTest::newRow("URI") << "postgresql://tinlark@db.example.org:5432/speeches" << true;
    QTest::newRow("short URI scheme") << "postgres://localhost/speeches" << true;
    QTest::newRow("URI scheme in capitals") << "PostgreSQL://localhost/speeches" << true;
    QTest::newRow("keyword string") << "host=localhost dbname=speeches" << true;
    QTest::newRow("keyword string with a socket folder") << "host=/var/run/postgresql dbname=speeches" << true;
    QTest::newRow("keyword string starting with the database") << "dbname = speeches user=tinlark" << true;
    QTest::newRow("absolute file path") << "/home/ann/Speeches.csp" << false;
    QTest::newRow("file path holding '='") << "/home/ann/host=old/Speeches.csp" << false;
    QTest::newRow("file name holding '='") << "a=b.csp" << false;
    QTest::newRow("file named after the scheme") << "postgresql.csp" << false;
    QTest::newRow("Windows path") << "C:\\Speeches\\Speeches.csp" << false;
}

void tst_ServerDataSource::toldFromAFilePath()
{
    QFETCH(QString, dataSource);
    QFETCH(bool, server);
    QCOMPARE(isServerDataSource(dataSource), server);
}

TINLARK_TEST_MAIN(tst_ServerDataSource)
#include "tst_ServerDataSource.moc"
