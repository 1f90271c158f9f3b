#include "LocaleInfo.h"
#include "TestMain.h"

#include <QLocale>

class tst_LocaleInfo : public QObject
{
    Q_OBJECT

private slots:
    void windowsLanguageId_data();
    void windowsLanguageId();
};

void tst_LocaleInfo::windowsLanguageId_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<quint16>("language");
    QTest::newRow("German") << "de_DE" << quint16(0x0407);
    QTest::newRow("Austrian German") << "de_AT" << quint16(0x0C07);
    QTest::newRow("US English") << "en_US" << quint16(0x0409);
    QTest::newRow("UK English") << "en_GB" << quint16(0x0809);
    QTest::newRow("Flemish") << "nl_BE" << quint16(0x0813);
    QTest::newRow("Arabic") << "ar_SA" << quint16(0x0401);
    QTest::newRow("no language") << "C" << quint16(0);
}

void tst_LocaleInfo::windowsLanguageId()
{
    QFETCH(QString, locale);
    QFETCH(quint16, language);
    QCOMPARE(LocaleInfo::windowsLanguageId(QLocale(locale)), language);
}

TINLARK_TEST_MAIN(tst_LocaleInfo)
#include "tst_LocaleInfo.moc"
