#include "Encdec.h"
#include "TestMain.h"

#include <QRandomGenerator>

class tst_Encdec : public QObject
{
    Q_OBJECT

private slots:
    void scrambles_data();
    void scrambles();
    void roundTrips();
    void everyTwoHundredFiftySixthByteStays();
};

void tst_Encdec::scrambles_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("scrambled");

    QTest::newRow("abc") << QByteArray("abc") << QByteArray("lnp");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("0xF5 first becomes NUL") << QByteArray("\xF5", 1) << QByteArray("\0", 1);
    QTest::newRow("NUL bytes inside") << QByteArray("a\0\0b", 4) << QByteArray("l\x0C\x0Dp", 4);
    QTest::newRow("wraps at 256") << QByteArray("\xFF\xFF", 2) << QByteArray("\x0A\x0B", 2);
}

void tst_Encdec::scrambles()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, scrambled);
    QCOMPARE(Encrypt(plain).toHex(' '), scrambled.toHex(' '));
    QCOMPARE(Decrypt(scrambled).toHex(' '), plain.toHex(' '));
}

void tst_Encdec::roundTrips()
{
    QRandomGenerator random(20240601);
    for (int round = 0; round < 200; ++round) {
        QByteArray text(random.bounded(700), Qt::Uninitialized);
        for (char &byte : text)
            byte = char(random.bounded(256));
        QCOMPARE(Decrypt(Encrypt(text)), text);
        QCOMPARE(Encrypt(Decrypt(text)), text);
        QCOMPARE(Encrypt(text).size(), text.size());
    }
}

// The shift at position 246 is 256, and the shifts repeat every 256 positions.
void tst_Encdec::everyTwoHundredFiftySixthByteStays()
{
    QByteArray text(800, 'x');
    const QByteArray encrypted = Encrypt(text);
    const QByteArray decrypted = Decrypt(text);
    for (qsizetype position = 1; position <= text.size(); ++position) {
        const bool stays = position % 256 == 246;
        QCOMPARE(encrypted[position - 1] == 'x', stays);
        QCOMPARE(decrypted[position - 1] == 'x', stays);
    }
}

TINLARK_TEST_MAIN(tst_Encdec)
#include "tst_Encdec.moc"
