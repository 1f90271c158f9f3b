#include "NoticeBar.h"
#include "TestMain.h"

#include <QLabel>
#include <QToolButton>

class tst_NoticeBar : public QObject
{
    Q_OBJECT

private slots:
    void staysUntilClosed_data();
    void staysUntilClosed();
};

// Steps: "tell:TEXT" or "close"; the bar's text after them (empty: hidden).
void tst_NoticeBar::staysUntilClosed_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing told") << QStringList{} << "";
    QTest::newRow("told") << QStringList{"tell:Cannot back up"} << "Cannot back up";
    QTest::newRow("an empty notice leaves it") << QStringList{"tell:Cannot back up", "tell:"} << "Cannot back up";
    QTest::newRow("closed") << QStringList{"tell:Cannot back up", "close"} << "";
    QTest::newRow("the closed one again stays closed") << QStringList{"tell:Read-only", "close", "tell:Read-only"} << "";
    QTest::newRow("a new one comes back") << QStringList{"tell:Read-only", "close", "tell:Key taken"} << "Key taken";
    QTest::newRow("the newest replaces") << QStringList{"tell:Read-only", "tell:Key taken"} << "Key taken";
    QTest::newRow("rich text stays text") << QStringList{"tell:<h1>Sign in</h1>"} << "<h1>Sign in</h1>";
}

void tst_NoticeBar::staysUntilClosed()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);
    QWidget window;
    auto *bar = new NoticeBar(&window);
    window.show();
    for (const QString &step : steps) {
        if (step == QLatin1String("close"))
            bar->findChild<QToolButton *>(QStringLiteral("btnCloseNotice"))->click();
        else
            bar->tell(step.mid(5));
    }
    QCOMPARE(bar->text(), shown);
    QCOMPARE(bar->isVisible(), !shown.isEmpty());
    const auto *label = bar->findChild<QLabel *>(QStringLiteral("lblNotice"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

TINLARK_TEST_MAIN(tst_NoticeBar)
#include "tst_NoticeBar.moc"
