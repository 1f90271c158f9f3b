#include "MainWindowFixture.h"
#include "TDBMemo.h"
#include "TestMain.h"

#include <QClipboard>
#include <QKeySequence>
#include <QMimeData>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <vector>

namespace {

QString sqlLiteral(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// A paragraph of numbered words ("w0001 w0002 ..."), so that a test can find any place in it.
QString numberedWords(int count)
{
    QString words;
    for (int i = 1; i <= count; ++i)
        words += QStringLiteral("w%1 ").arg(i, 4, 10, QLatin1Char('0'));
    return words;
}

const QString letter = QStringLiteral("Dear customer,\r\n") + numberedWords(1000) + QStringLiteral("\r\nRegards");

// Types text a character at a time (a surrogate pair as one), as a keyboard does.
void typeText(QWidget *widget, const QString &text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        const qsizetype length = text[at].isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(at, length), Qt::NoModifier);
        at += length - 1;
    }
}

// Stores a value (as SQL) in a field of the first speech, as another program would.
void storeValue(MainWindowFixture &f, const QString &field, const QString &value)
{
    f.db.execute(QStringLiteral("update Speeches set %1 = %2 where ID = %3").arg(field, value).arg(f.english[0]));
}

TDBMemo *memoNamed(MainWindowFixture &f, const QString &field)
{
    return field == QLatin1String("Tekst") ? f.ui()->dbmTekst : f.ui()->dbmComments;
}

// Runs keys written as "Ctrl+Home Down Return", with "'text" for typed text and
// "?text" for putting the cursor at the start of the first place that shows text.
void runKeys(TDBMemo *memo, const QString &keys)
{
    for (const QString &key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (key.startsWith(QLatin1Char('\''))) {
            typeText(memo, key.mid(1));
        } else if (key.startsWith(QLatin1Char('?'))) {
            memo->moveCursor(QTextCursor::Start);
            QVERIFY2(memo->find(key.mid(1)), qPrintable(key));
            QTest::keyClick(memo, Qt::Key_Left);
        } else {
            const QKeyCombination combination = QKeySequence(key)[0];
            QTest::keyClick(memo, combination.key(), combination.keyboardModifiers());
        }
    }
}

// The editing model: a plain string, changed as each operation says, with the history that
// undo and redo walk. Each state is told apart by the document's text and undo depth.
struct Model
{
    struct State
    {
        QString text;
        QString shown;
        int undoSteps;
    };
    std::vector<State> history;
    size_t current = 0;
    QString text;

    void record(const QTextDocument *document)
    {
        const State now{text, document->toRawText(), document->availableUndoSteps()};
        const State &last = history[current];
        if (now.shown != last.shown || now.undoSteps != last.undoSteps) {
            history.resize(current + 1);
            history.push_back(now);
            current = history.size() - 1;
        }
    }
    // Undo and redo go back to the state the document shows again.
    bool replay(const QTextDocument *document, bool back)
    {
        const QString shown = document->toRawText();
        const int steps = document->availableUndoSteps();
        for (size_t i = current;; back ? --i : ++i) {
            if (i >= history.size())
                return false;
            if (history[i].shown == shown && history[i].undoSteps == steps) {
                current = i;
                text = history[i].text;
                return true;
            }
            if (i == 0 && back)
                return false;
        }
    }
};

// Where each document position is in the stored text, as the memo reads its breaks.
std::vector<int> textPositions(const TDBMemo *memo)
{
    const QTextDocument *document = memo->document();
    std::vector<int> positions;
    positions.reserve(size_t(document->characterCount()));
    int at = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (int i = 0; i < block.length(); ++i)
            positions.push_back(at + i);
        const int separator = block.position() + block.length() - 1;
        at += block.length() - 1 + int(memo->storedText(separator, separator + 1).size());
    }
    return positions;
}

const QString typedPieces[] = {QStringLiteral("a"), QStringLiteral("Zo"), QStringLiteral(" "),
                               QString(QChar(0x00A0)), QStringLiteral("e\u0301"), QStringLiteral("\U0001F600"),
                               QStringLiteral("\u00FC")};

} // namespace

// What the user does in a speech or comment memo is what gets stored, character for character.
class tst_MemoEditing : public QObject
{
    Q_OBJECT

private slots:
    void storesWhatWasTyped_data();
    void storesWhatWasTyped();
    void randomEditsMatchAPlainString_data();
    void randomEditsMatchAPlainString();
};

void tst_MemoEditing::storesWhatWasTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored"); // the field's value, as SQL
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("untouched"); // the other memo's value, as SQL, kept byte for byte (file only)
    const QString paragraph = numberedWords(1000);
    const QString joined = QStringLiteral("Dear customer,\r\n") + paragraph + QStringLiteral("Regards");
    QTest::newRow("backspace joins a short line to a long one")
        << "Tekst" << sqlLiteral(letter) << "?Regards Backspace" << joined << QString();
    QTest::newRow("select all, type, undo") << "Tekst" << sqlLiteral(letter) << "Ctrl+A 'x Ctrl+Z" << letter << QString();
    QTest::newRow("a letter before a long line with CR LF")
        << "Comments" << sqlLiteral(letter) << "Ctrl+Home 'X" << QLatin1Char('X') + letter << QString();
    QTest::newRow("enter then backspace in a long line")
        << "Tekst" << sqlLiteral(letter) << "?w0900 Return Backspace" << letter << QString();
    QTest::newRow("ctrl+backspace where the display breaks the line")
        << "Tekst" << sqlLiteral(letter) << "?w0683 Ctrl+Backspace" << QString(letter).remove(QStringLiteral("w0682 "))
        << QString();
    QTest::newRow("delete at the end of a long line") << "Tekst" << sqlLiteral(letter) << "?Regards Left Delete" << joined
                                                      << QString();
    QTest::newRow("a new line takes the speech's line ends")
        << "Comments" << sqlLiteral(QStringLiteral("a\rb")) << "Ctrl+End Return 'c" << QStringLiteral("a\rb\rc") << QString();
    QTest::newRow("no-break space and CR LF kept")
        << "Tekst" << sqlLiteral(QStringLiteral("Merci\u00a0! \r\nBonjour")) << "Ctrl+End 'X"
        << QStringLiteral("Merci\u00a0! \r\nBonjourX") << QString();
    QTest::newRow("line and paragraph separators, lone CR kept")
        << "Comments" << sqlLiteral(QStringLiteral("a\u2028b\u2029c\rd\ne\u200d\U0001F600")) << "Ctrl+End 'X"
        << QStringLiteral("a\u2028b\u2029c\rd\ne\u200d\U0001F600X") << QString();
    // Values another tool wrote, which a server's text cannot hold.
    QTest::newRow("comments beside a speech that is not UTF-8")
        << "Comments" << "'note'" << "Ctrl+End 'X" << "noteX" << "CAST(X'48C3FF0069' AS TEXT)";
    QTest::newRow("comments beside a speech stored as a BLOB")
        << "Comments" << "'note'" << "Ctrl+End 'X" << "noteX" << "X'68690A00'";
    QTest::newRow("a speech that is not UTF-8, edited")
        << "Tekst" << "CAST(X'61FF62' AS TEXT)" << "Ctrl+End 'X" << QStringLiteral("a\uFFFDbX") << "'note'";
    QTest::newRow("a speech with a NUL character, edited")
        << "Tekst" << "CAST(X'610062' AS TEXT)" << "Ctrl+End 'X" << QStringLiteral("a%1bX").arg(QChar(0)) << "'note'";
}

void tst_MemoEditing::storesWhatWasTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, stored);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(QString, untouched);
    if (!untouched.isEmpty())
        SKIP_ON_SERVER("a server's text is always UTF-8 without NUL characters");
    MainWindowFixture f;
    const QString other = field == QLatin1String("Tekst") ? QStringLiteral("Comments") : QStringLiteral("Tekst");
    storeValue(f, field, stored);
    if (!untouched.isEmpty())
        storeValue(f, other, untouched);
    f.ui()->DataSetRefresh->trigger();
    TDBMemo *memo = memoNamed(f, field);
    f.focus(memo);
    runKeys(memo, keys);
    QCOMPARE(memo->storedText(), expected);
    f.press(Qt::Key_Return, Qt::ControlModifier);
    QVERIFY2(f.recorder.messages().isEmpty(), qPrintable(f.recorder.messages().join(QLatin1Char('\n'))));
    const QString select = QStringLiteral("select %1 from Speeches where ID = %2").arg(field).arg(f.english[0]);
    QCOMPARE(f.db.text(select), expected);
    if (!untouched.isEmpty()) {
        QCOMPARE(f.db.text(QStringLiteral("select hex(%1) from Speeches where ID = %2").arg(other).arg(f.english[0])),
                 f.db.text(QStringLiteral("select hex(%1)").arg(untouched)));
    } else {
        f.press(Qt::Key_F4); // copies the stored speech
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 f.db.text(QStringLiteral("select Tekst from Speeches where ID = %1").arg(f.english[0])));
    }
}

void tst_MemoEditing::randomEditsMatchAPlainString_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("seed");
    const QString longLine = QStringLiteral("x\u00a0y ").repeated(1400);
    QTest::newRow("speech, CR LF") << "Tekst" << letter << 1u;
    QTest::newRow("speech, lone CR and marks")
        << "Tekst" << QStringLiteral("Zeile\rcafe\u0301 \U0001F600 x\u2028y\r") + longLine + QStringLiteral("\rEnde") << 2u;
    QTest::newRow("comments, mixed line ends")
        << "Comments" << QStringLiteral("a\nb\r\nc\rd\u2029e\u00a0f\n") + longLine + QStringLiteral("\r\n\U0001F600") << 3u;
    QTest::newRow("comments, LF") << "Comments" << QString(letter).replace(QLatin1String("\r\n"), QLatin1String("\n")) << 4u;
}

// Random edits through keys, mouse, clipboard, drops and input methods, done to the memo and
// to a plain string: the memo reads back and stores exactly the string.
void tst_MemoEditing::randomEditsMatchAPlainString()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(quint32, seed);
    MainWindowFixture f;
    TDBMemo *memo = memoNamed(f, field);
    QTextDocument *document = memo->document();
    QClipboard *clipboard = QGuiApplication::clipboard();
    // A new line takes the speech's first line end.
    const qsizetype first = text.indexOf(QRegularExpression(QStringLiteral("[\r\n\u2029]")));
    const QString lineEnd = text.mid(first, text.mid(first, 2) == QLatin1String("\r\n") ? 2 : 1);
    clipboard->setText(QStringLiteral("clip"));
    QRandomGenerator random(seed);
    auto randomPoint = [&random, memo] {
        const QRect area = memo->viewport()->rect();
        return QPoint(random.bounded(area.width()), random.bounded(area.height()));
    };
    // Rounds that each start from the text again and end with a post, so that long lines
    // stay in play.
    for (int round = 0; round < 5; ++round) {
        storeValue(f, field, sqlLiteral(text));
        f.ui()->DataSetRefresh->trigger();
        f.focus(memo);
        Model model{{{text, document->toRawText(), document->availableUndoSteps()}}, 0, text};
        QStringList done;
        for (int step = 0; step < 400; ++step) {
            const std::vector<int> at = textPositions(memo);
            const QTextCursor cursor = memo->textCursor();
            const int start = at[size_t(cursor.selectionStart())];
            const int end = at[size_t(cursor.selectionEnd())];
            const int lengthBefore = document->characterCount();
            auto removeWhatTheKeyRemoved = [&] {
                const int position = memo->textCursor().position();
                const int removed = lengthBefore - document->characterCount();
                model.text.remove(at[size_t(position)], at[size_t(position + removed)] - at[size_t(position)]);
            };
            QString operation;
            switch (random.bounded(15)) {
            case 0: { // a click, or a shift+click that selects
                const QPoint point = randomPoint();
                const bool shift = random.bounded(3) == 0;
                operation = QStringLiteral("click %1,%2%3").arg(point.x()).arg(point.y()).arg(shift ? "+shift" : "");
                QTest::mouseClick(memo->viewport(), Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier, point);
                break;
            }
            case 1: { // moving the cursor, selecting with Shift
                static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End};
                const Qt::Key key = keys[random.bounded(6)];
                Qt::KeyboardModifiers modifiers;
                if (random.bounded(3) == 0)
                    modifiers |= Qt::ShiftModifier;
                if (random.bounded(4) == 0)
                    modifiers |= Qt::ControlModifier;
                operation = QKeySequence(QKeyCombination(modifiers, key)).toString();
                QTest::keyClick(memo, key, modifiers);
                break;
            }
            case 2: // scrolling, as with the scroll bar
                memo->verticalScrollBar()->setValue(random.bounded(memo->verticalScrollBar()->maximum() + 1));
                operation = QStringLiteral("scroll");
                break;
            case 3:
            case 4: {
                const QString typed = typedPieces[random.bounded(int(std::size(typedPieces)))];
                operation = QStringLiteral("type '%1'").arg(typed);
                typeText(memo, typed);
                model.text.replace(start, end - start, typed);
                break;
            }
            case 5:
                operation = QStringLiteral("Return");
                QTest::keyClick(memo, Qt::Key_Return);
                model.text.replace(start, end - start, lineEnd);
                break;
            case 6:
            case 7: {
                static const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete};
                const Qt::Key key = keys[random.bounded(2)];
                // Ctrl+Delete is the window's key for deleting the speech.
                const bool word = key == Qt::Key_Backspace && random.bounded(3) == 0;
                const Qt::KeyboardModifiers modifiers = word ? Qt::ControlModifier : Qt::NoModifier;
                operation = QKeySequence(QKeyCombination(modifiers, key)).toString();
                QTest::keyClick(memo, key, modifiers);
                removeWhatTheKeyRemoved();
                break;
            }
            case 8: { // cut or copy: the clipboard gets exactly the selected text
                const bool cut = random.bounded(2) == 0;
                operation = cut ? QStringLiteral("Ctrl+X") : QStringLiteral("Ctrl+C");
                QTest::keyClick(memo, cut ? Qt::Key_X : Qt::Key_C, Qt::ControlModifier);
                if (start != end)
                    QCOMPARE(clipboard->text(), model.text.mid(start, end - start));
                if (cut)
                    model.text.remove(start, end - start);
                break;
            }
            case 9: { // paste, sometimes of text copied from another program
                if (random.bounded(4) == 0)
                    clipboard->setText(QStringLiteral("p\r\nq\rr\ns"));
                operation = QStringLiteral("Ctrl+V");
                const QString pasted = clipboard->text();
                QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
                if (!pasted.isEmpty())
                    model.text.replace(start, end - start, pasted);
                break;
            }
            case 10:
            case 11: {
                const bool back = random.bounded(3) != 0;
                operation = back ? QStringLiteral("Ctrl+Z") : QStringLiteral("Ctrl+Shift+Z");
                QTest::keyClick(memo, Qt::Key_Z, back ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
                QVERIFY2(model.replay(document, back), qPrintable(done.join(QStringLiteral(", "))));
                break;
            }
            case 12: // a word selected by a double click, now and then all
                if (random.bounded(4) == 0) {
                    operation = QStringLiteral("Ctrl+A");
                    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
                } else {
                    const QPoint point = randomPoint();
                    operation = QStringLiteral("double click %1,%2").arg(point.x()).arg(point.y());
                    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, Qt::NoModifier, point);
                }
                break;
            case 13: { // a drop of the clipboard's text, or a middle click pasting the selection
                const QPoint point = randomPoint();
                const bool middle = clipboard->supportsSelection() && random.bounded(2) == 0;
                const QString inserted = clipboard->text(middle ? QClipboard::Selection : QClipboard::Clipboard);
                operation = QStringLiteral("%1 at %2,%3").arg(middle ? "middle click" : "drop").arg(point.x()).arg(point.y());
                if (middle) {
                    QTest::mouseClick(memo->viewport(), Qt::MiddleButton, Qt::NoModifier, point);
                } else {
                    QMimeData data;
                    data.setText(inserted);
                    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(memo->viewport(), &enter);
                    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(memo->viewport(), &drop);
                }
                // The text goes in where the drop or click put it, which ends at the cursor.
                const int grown = document->characterCount() - lengthBefore;
                model.text.insert(at[size_t(memo->textCursor().position() - grown)], inserted);
                break;
            }
            default: { // an input method commits a text
                const QString committed = typedPieces[random.bounded(int(std::size(typedPieces)))];
                operation = QStringLiteral("commit '%1'").arg(committed);
                QInputMethodEvent event;
                event.setCommitString(committed);
                QApplication::sendEvent(memo, &event);
                model.text.replace(start, end - start, committed);
                break;
            }
            }
            done.append(operation);
            if (!operation.startsWith(QLatin1String("Ctrl+Z")) && !operation.startsWith(QLatin1String("Ctrl+Shift+Z")))
                model.record(document);
            if (memo->storedText() != model.text)
                qWarning().noquote() << "after" << step + 1 << "operations, the last ones:"
                                     << done.mid(std::max<qsizetype>(0, done.size() - 12)).join(QStringLiteral(", "));
            QCOMPARE(memo->storedText(), model.text);
        }
        f.press(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY2(f.recorder.messages().isEmpty(), qPrintable(f.recorder.messages().join(QLatin1Char('\n'))));
        QCOMPARE(f.db.text(QStringLiteral("select %1 from Speeches where ID = %2").arg(field).arg(f.english[0])), model.text);
    }
}

TINLARK_TEST_MAIN(tst_MemoEditing)
#include "tst_MemoEditing.moc"
