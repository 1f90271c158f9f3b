#include "DataEditKeys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace DataEditKeys {

bool changesText(const QKeyEvent *event)
{
    static const QKeySequence::StandardKey changingKeys[] = {
        QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo,
        QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteCompleteLine, QKeySequence::Backspace, QKeySequence::Delete};
    for (QKeySequence::StandardKey key : changingKeys) {
        if (event->matches(key))
            return true;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    default:
        break;
    }
    const QString text = event->text();
    return !text.isEmpty() && text.front().isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

} // namespace DataEditKeys
