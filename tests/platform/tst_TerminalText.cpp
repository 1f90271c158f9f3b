#include "TerminalText.h"
#include "TestMain.h"

// Text from a server or a file on its way to a terminal: nothing in it can steer the terminal,
// and everything else stays as it was.
class tst_TerminalText : public QObject
{
    Q_OBJECT

private slots:
    void controlsBecomeReplacementCharacters_data();
    void controlsBecomeReplacementCharacters();
};

void tst_TerminalText::controlsBecomeReplacementCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString r(QChar::ReplacementCharacter);
    QTest::newRow("escape sequence") << QStringLiteral("\x1b]0;owned\x07\x1b[2Jcolumn") << r + "]0;owned" + r + r + "[2Jcolumn";
    QTest::newRow("carriage return, backspace, NUL") << QString::fromUtf16(u"a\rb\bc\0d", 7) << "a" + r + "b" + r + "c" + r + "d";
    QTest::newRow("DEL and the C1 introducer") << QString::fromUtf16(u"x\u007fy\u009b31mz") << "x" + r + "y" + r + "31mz";
    QTest::newRow("bidirectional override and isolate") << QString::fromUtf16(u"a\u202eb\u2066c") << "a" + r + "b" + r + "c";
    QTest::newRow("tab, line feed and every alphabet stay")
        << QString::fromUtf16(u"NOTICE:\tStraße 日本語 עברית\nDETAIL: 🎉") << QString::fromUtf16(u"NOTICE:\tStraße 日本語 עברית\nDETAIL: 🎉");
}

void tst_TerminalText::controlsBecomeReplacementCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(TerminalText::printable(text), shown);
}

TINLARK_TEST_MAIN(tst_TerminalText)
#include "tst_TerminalText.moc"
