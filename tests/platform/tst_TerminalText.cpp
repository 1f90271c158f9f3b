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
    void pastedSpeechLosesItsControls_data();
    void pastedSpeechLosesItsControls();
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

// A speech pasted into a terminal: no escape can end the bracketed paste or steer the terminal;
// tab and line ends stay, and a line end means the terminal runs something by itself.
void tst_TerminalText::pastedSpeechLosesItsControls_data()
{
    QTest::addColumn<QString>("speech");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("runsCommands");
    QTest::newRow("end of bracketed paste") << QStringLiteral("ls\x1b[201~rm -rf ~") << QStringLiteral("ls[201~rm -rf ~") << false;
    QTest::newRow("backspace, NUL, DEL, C1 CSI")
        << QString::fromUtf16(u"a\bb\0c\u007fd\u009b2Je", 11) << QStringLiteral("abcd2Je") << false;
    QTest::newRow("tab and line ends kept") << QStringLiteral("cd\tsrc\r\nls\nmake\r") << QStringLiteral("cd\tsrc\r\nls\nmake\r") << true;
    QTest::newRow("a carriage return alone") << QStringLiteral("a\rb") << QStringLiteral("a\rb") << true;
    QTest::newRow("letters, no-break space, bidi marks, emoji")
        << QString::fromUtf16(u"Straße\u00A0日本 \u202Eעברית 🎉") << QString::fromUtf16(u"Straße\u00A0日本 \u202Eעברית 🎉") << false;
}

void tst_TerminalText::pastedSpeechLosesItsControls()
{
    QFETCH(QString, speech);
    QFETCH(QString, pasted);
    QFETCH(bool, runsCommands);
    QCOMPARE(TerminalText::pasteable(speech), pasted);
    QCOMPARE(TerminalText::runsCommands(TerminalText::pasteable(speech)), runsCommands);
}

TINLARK_TEST_MAIN(tst_TerminalText)
#include "tst_TerminalText.moc"
