#include "LongLineText.h"
#include "TestMain.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

// Long lines are shown in blocks of bounded length and read back exactly as they were.
class tst_LongLineText : public QObject
{
    Q_OBJECT

private slots:
    void readsBackWhatItShows_data()
    {
        const int max = LongLineText::MaxBlockLength;
        const QString surrogatePair = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("broken");
        QTest::newRow("short lines") << QStringLiteral("one\ntwo\n\nthree\n") << false;
        QTest::newRow("exactly the limit") << QString(max, QLatin1Char('x')) << false;
        QTest::newRow("one unbroken line") << QString(3 * max + 7, QLatin1Char('x')) << true;
        QTest::newRow("words") << QStringLiteral("word ").repeated(3 * max / 5) << true;
        QTest::newRow("long line among short ones")
            << QStringLiteral("a\n") + QString(2 * max, QLatin1Char('y')) + QStringLiteral("\nb\n") << true;
        QTest::newRow("surrogate pair on the limit")
            << QString(max - 1, QLatin1Char('z')) + surrogatePair.repeated(max) << true;
    }

    void readsBackWhatItShows()
    {
        QFETCH(QString, text);
        QFETCH(bool, broken);
        QPlainTextEdit editor;
        QCOMPARE(LongLineText::show(&editor, text), broken);
        QCOMPARE(LongLineText::text(editor.document()), text);
        for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
            QVERIFY(block.length() <= LongLineText::MaxBlockLength + 1);
            QVERIFY(!block.text().startsWith(QChar(0xDE00))); // no pair is cut
        }
        // Part of the text, from the second character to the second last, across every break.
        const int end = editor.document()->characterCount() - 2;
        QCOMPARE(LongLineText::text(editor.document(), 1, end), text.mid(1, text.size() - 2));
    }

    // A line break typed inside a block that continues a line is a real one; the break that
    // only the display has stays out of the text.
    void typedBreakInAContinuationIsReal()
    {
        const QString text(2 * LongLineText::MaxBlockLength, QLatin1Char('x'));
        QPlainTextEdit editor;
        QVERIFY(LongLineText::show(&editor, text));
        QTextCursor cursor(editor.document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, 10);
        cursor.insertBlock();
        QString expected = text;
        expected.insert(LongLineText::MaxBlockLength + 10, QLatin1Char('\n'));
        QCOMPARE(LongLineText::text(editor.document()), expected);
    }
};

TINLARK_TEST_MAIN(tst_LongLineText)
#include "tst_LongLineText.moc"
