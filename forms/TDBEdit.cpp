#include "TDBEdit.h"

#include "Field.h"

#include <QTimer>

TDBEdit::TDBEdit(QWidget *parent)
    : QLineEdit(parent), m_link([this] { return text(); }, [this](const QString &value) { setText(value); })
{
    m_link.onStateChanged = [this] { applyFieldSize(); };
    m_link.later = [this](std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); };
    connect(this, &QLineEdit::textChanged, this, [this] { m_link.textChanged(); });
}

void TDBEdit::setDataField(const QString &fieldName)
{
    m_link.setDataField(fieldName);
    applyFieldSize();
}

void TDBEdit::applyFieldSize()
{
    Field *field = m_link.field();
    const int size = field ? field->size() : 0;
    const int limit = size > 0 ? size : 32767;
    // Setting the limit sets the text anew, which would drop the user's selection.
    if (maxLength() != limit)
        setMaxLength(limit);
}

void TDBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    m_link.handOverFromEvent();
}
