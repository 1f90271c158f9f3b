#include "TestMain.h"
#include "WindowPlacement.h"

class tst_WindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void usableBounds_data();
    void usableBounds();
    void innerSizeLeavesTheFrameOut();
};

void tst_WindowPlacement::usableBounds_data()
{
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QRect>("usable");
    // Two screens side by side: 1024 by 768, and 1280 by 1024 to its right.
    QTest::newRow("on a screen") << QRect(192, 153, 612, 410) << QRect(192, 153, 612, 410);
    QTest::newRow("partly off") << QRect(-300, -20, 612, 410) << QRect(-300, -20, 612, 410);
    QTest::newRow("larger than any screen") << QRect(10, 10, 5000, 3000) << QRect(10, 10, 5000, 3000);
    QTest::newRow("in the gap below the first screen") << QRect(100, 900, 200, 50) << QRect(100, 718, 200, 50);
    QTest::newRow("far left and above") << QRect(-5000, -5000, 612, 410) << QRect(0, 0, 612, 410);
    QTest::newRow("far right") << QRect(9000, 500, 612, 410) << QRect(1692, 500, 612, 410);
    QTest::newRow("too large and off") << QRect(-20000, 100, 9000, 100) << QRect(0, 100, 8192, 100);
    QTest::newRow("capped") << QRect(0, 0, 100000, 2147483647 / 2) << QRect(0, 0, 8192, 8192);
    QTest::newRow("no size") << QRect(-5000, 10, 0, 0) << QRect(0, 10, 0, 0);
}

void tst_WindowPlacement::usableBounds()
{
    QFETCH(QRect, bounds);
    QFETCH(QRect, usable);
    const QList<QRect> screens = {QRect(0, 0, 1024, 768), QRect(1024, 0, 1280, 1024)};
    QCOMPARE(WindowPlacement::usableBounds(bounds, screens), usable);
}

void tst_WindowPlacement::innerSizeLeavesTheFrameOut()
{
    // The layout's outer 612 by 410 with a frame of 4 pixels and a title of 23.
    QCOMPARE(WindowPlacement::innerSize(QSize(612, 410), QMargins(4, 23, 4, 4)), QSize(604, 383));
    QCOMPARE(WindowPlacement::innerSize(QSize(612, 410), QMargins()), QSize(612, 410));
}

TINLARK_TEST_MAIN(tst_WindowPlacement)
#include "tst_WindowPlacement.moc"
