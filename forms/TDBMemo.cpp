#include "TDBMemo.h"

#include "LongLineText.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>

TDBMemo::TDBMemo(QWidget *parent)
    : QPlainTextEdit(parent),
      m_link([this] { return storedText(); }, [this](const QString &value) { LongLineText::show(this, value); })
{
    setTabChangesFocus(true);
    m_link.later = [this](std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); };
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_link.textChanged(); });
}

QString TDBMemo::storedText() const
{
    return LongLineText::text(document());
}

QString TDBMemo::storedText(int from, int to) const
{
    return LongLineText::text(document(), from, to);
}

QMimeData *TDBMemo::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(LongLineText::text(document(), cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

// Pasted and dropped text goes in as it is, line ends and all.
void TDBMemo::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    LongLineText::insert(cursor, source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}

// A committed text with line ends in it keeps them as they are, like a paste.
void TDBMemo::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const bool breaks = std::any_of(commit.begin(), commit.end(), [](QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator
               || c == QChar::LineSeparator;
    });
    if (!breaks || isReadOnly()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&rest);
    QTextCursor cursor = textCursor();
    LongLineText::insert(cursor, commit);
    setTextCursor(cursor);
    event->accept();
}

// Backspace and Delete (also with Ctrl, a word at a time) next to a break that only the
// display has take what lies beyond it, as they would in the unbroken line.
void TDBMemo::stepOverContinuation(QKeyEvent *event)
{
    QTextCursor cursor = textCursor();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (cursor.hasSelection() || (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier))
        return;
    const QTextBlock block = cursor.block();
    if (event->key() == Qt::Key_Backspace && cursor.atBlockStart() && LongLineText::continuesLine(block))
        cursor.movePosition(QTextCursor::PreviousCharacter);
    else if (event->key() == Qt::Key_Delete && cursor.atBlockEnd() && LongLineText::continuesLine(block.next()))
        cursor.movePosition(QTextCursor::NextCharacter);
    else
        return;
    setTextCursor(cursor);
}

// Enter (also with Shift, which would put in a line separator) starts a new line in the
// speech's own line-end style.
bool TDBMemo::startNewLine(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if ((event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier
        || isReadOnly())
        return false;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    LongLineText::insertLineEnd(cursor);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
    return true;
}

void TDBMemo::keyPressEvent(QKeyEvent *event)
{
    stepOverContinuation(event);
    if (startNewLine(event))
        return;
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    m_link.handOverFromEvent();
}
