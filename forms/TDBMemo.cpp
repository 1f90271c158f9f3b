#include "TDBMemo.h"

#include "DataEditKeys.h"

#include <QKeyEvent>

TDBMemo::TDBMemo(QWidget *parent)
    : QPlainTextEdit(parent),
      m_link([this] { return toPlainText(); }, [this](const QString &value) { setPlainText(value); })
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_link.textChanged(); });
}

void TDBMemo::keyPressEvent(QKeyEvent *event)
{
    if (!isReadOnly() && DataEditKeys::changesText(event) && !m_link.prepareChangeFromEvent()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::insertFromMimeData(const QMimeData *source)
{
    if (!isReadOnly() && !m_link.prepareChangeFromEvent())
        return;
    QPlainTextEdit::insertFromMimeData(source);
}

void TDBMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    m_link.handOverFromEvent();
}
