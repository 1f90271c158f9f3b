#include "TDBMemo.h"

#include "LongLineText.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTimer>

TDBMemo::TDBMemo(QWidget *parent)
    : QPlainTextEdit(parent),
      m_link([this] { return storedText(); },
             [this](const QString &value) { m_longLines = LongLineText::show(this, value); })
{
    setTabChangesFocus(true);
    m_link.later = [this](std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); };
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_link.textChanged(); });
}

QString TDBMemo::storedText() const
{
    return m_longLines ? LongLineText::text(document()) : toPlainText();
}

QMimeData *TDBMemo::createMimeDataFromSelection() const
{
    if (!m_longLines)
        return QPlainTextEdit::createMimeDataFromSelection();
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(LongLineText::text(document(), cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

// Backspace and Delete next to a break that only the display has take the character
// beyond it, as they would in the unbroken line.
void TDBMemo::stepOverContinuation(QKeyEvent *event)
{
    QTextCursor cursor = textCursor();
    if (!m_longLines || cursor.hasSelection() || event->modifiers() != Qt::NoModifier)
        return;
    const QTextBlock block = cursor.block();
    if (event->key() == Qt::Key_Backspace && cursor.atBlockStart()
        && block.userState() == LongLineText::ContinuationState)
        cursor.movePosition(QTextCursor::PreviousCharacter);
    else if (event->key() == Qt::Key_Delete && cursor.atBlockEnd()
             && block.next().userState() == LongLineText::ContinuationState)
        cursor.movePosition(QTextCursor::NextCharacter);
    else
        return;
    setTextCursor(cursor);
}

void TDBMemo::keyPressEvent(QKeyEvent *event)
{
    stepOverContinuation(event);
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
