#include "PickListDelegate.h"
#include "TestMain.h"

#include <QListWidget>
#include <QTest>

// The picker's rows show every letter whole: no accent above a capital, no stacked mark and
// no descender reaches the edge of its row, where the next row would cut it off.
class tst_PickListDelegate : public QObject
{
    Q_OBJECT

private slots:
    void rowsHoldTheirLettersWhole_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("language");
        QTest::newRow("accents on capitals") << QStringLiteral("ÉLÈVE ÉCOLE") << QString();
        QTest::newRow("stacked accents") << QStringLiteral("ẤN TƯỢNG ẬỄ") << QString();
        QTest::newRow("ring and acute") << QStringLiteral("ǺÅ") << QStringLiteral("Ǻland");
        QTest::newRow("descenders") << QStringLiteral("gjÿ") << QStringLiteral("Ţąg");
    }

    void rowsHoldTheirLettersWhole()
    {
        QFETCH(QString, label);
        QFETCH(QString, language);
        QListWidget list;
        list.setUniformItemSizes(true);
        list.setItemDelegate(new PickListDelegate(&list));
        list.setPalette(QPalette(Qt::black, Qt::white));
        // The first row sets the height of all, as in the picker; the second is looked at.
        list.addItem(QStringLiteral("plain"));
        auto *item = new QListWidgetItem(label, &list);
        item->setData(PickListDelegate::LanguageRole, language);
        list.resize(400, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QImage row = list.viewport()->grab(list.visualItemRect(item)).toImage();
        // The pixel lines that hold ink: some, and neither the first nor the last.
        QList<int> inked;
        for (int y = 0; y < row.height(); ++y) {
            for (int x = 0; x < row.width() && inked.value(inked.size() - 1, -1) != y; ++x) {
                if (qGray(row.pixel(x, y)) < 160)
                    inked.append(y);
            }
        }
        QVERIFY(!inked.isEmpty());
        QVERIFY2(inked.first() > 0, "the top of a letter is cut off");
        QVERIFY2(inked.last() < row.height() - 1, "the foot of a letter is cut off");
    }
};

TINLARK_TEST_MAIN(tst_PickListDelegate)
#include "tst_PickListDelegate.moc"
