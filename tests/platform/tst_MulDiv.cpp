#include "MulDiv.h"
#include "TestMain.h"

class tst_MulDiv : public QObject
{
    Q_OBJECT

private slots:
    void roundsToTheNearest_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("numerator");
        QTest::addColumn<int>("denominator");
        QTest::addColumn<int>("expected");
        QTest::newRow("exact") << 8 << 6 << 4 << 12;
        QTest::newRow("below a half") << 10 << 5 << 8 << 6;    // 6.25
        QTest::newRow("a half rounds up") << 10 << 7 << 4 << 18; // 17.5
        QTest::newRow("above a half") << 14 << 17 << 8 << 30;   // 29.75
        QTest::newRow("negative half rounds away from zero") << -10 << 7 << 4 << -18;
        QTest::newRow("negative denominator") << 10 << 7 << -4 << -18;
        QTest::newRow("both negative") << -10 << 7 << -4 << 18;
        QTest::newRow("product beyond 32 bits") << 2000000000 << 3 << 4 << 1500000000;
        QTest::newRow("result beyond 32 bits") << 2000000000 << 4 << 3 << -1;
        QTest::newRow("zero denominator") << 5 << 5 << 0 << -1;
    }

    void roundsToTheNearest()
    {
        QFETCH(int, number);
        QFETCH(int, numerator);
        QFETCH(int, denominator);
        QFETCH(int, expected);
        QCOMPARE(MulDiv(number, numerator, denominator), expected);
    }
};

TINLARK_TEST_MAIN(tst_MulDiv)
#include "tst_MulDiv.moc"
