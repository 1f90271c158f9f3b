#include "TDBMemo.h"

#include <QKeyEvent>
#include <QTimer>

TDBMemo::TDBMemo(QWidget *parent)
    : QPlainTextEdit(parent),
      m_link([this] { return toPlainText(); }, [this](const QString &value) { setPlainText(value); })
{
    setTabChangesFocus(true);
    m_link.later = [this](std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); };
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_link.textChanged(); });
}

void TDBMemo::keyPressEvent(QKeyEvent *event)
{
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
