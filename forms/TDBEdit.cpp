#include "TDBEdit.h"

#include "DataEditKeys.h"
#include "Field.h"

#include <QKeyEvent>

TDBEdit::TDBEdit(QWidget *parent)
    : QLineEdit(parent), m_link([this] { return text(); }, [this](const QString &value) { setText(value); })
{
    m_link.onStateChanged = [this] { applyFieldSize(); };
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

void TDBEdit::keyPressEvent(QKeyEvent *event)
{
    if (!isReadOnly() && DataEditKeys::changesText(event) && !m_link.prepareChangeFromEvent()) {
        event->accept(); // the record set cannot be changed: the key does nothing
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    m_link.handOverFromEvent();
}
