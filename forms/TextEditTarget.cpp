#include "TextEditTarget.h"

#include "TDBEdit.h"
#include "TDBMemo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

TextEditTarget TextEditTarget::focused(const QWidget *window)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || !window || focus->window() != window)
        return TextEditTarget(nullptr);
    // The selector's own edit field is no target, whatever it holds.
    if (qobject_cast<TDBEdit *>(focus) || qobject_cast<TDBMemo *>(focus))
        return TextEditTarget(focus);
    return TextEditTarget(nullptr);
}

bool TextEditTarget::hasSelection() const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        return line->hasSelectedText();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        return memo->textCursor().hasSelection();
    return false;
}

bool TextEditTarget::hasText() const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        return !line->text().isEmpty();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        return !memo->document()->isEmpty();
    return false;
}

bool TextEditTarget::canUndo() const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        return line->isUndoAvailable();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        return memo->document()->isUndoAvailable();
    return false;
}

bool TextEditTarget::prepareChange() const
{
    if (m_widget->property("readOnly").toBool())
        return false;
    if (auto *edit = qobject_cast<TDBEdit *>(m_widget))
        return edit->link().prepareChange();
    if (auto *memo = qobject_cast<TDBMemo *>(m_widget))
        return memo->link().prepareChange();
    return true;
}

void TextEditTarget::cut()
{
    if (!prepareChange())
        return;
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        line->cut();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        memo->cut();
}

void TextEditTarget::copy()
{
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        line->copy();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        memo->copy();
}

void TextEditTarget::paste()
{
    if (!prepareChange())
        return;
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        line->paste();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        memo->paste();
}

void TextEditTarget::selectAll()
{
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        line->selectAll();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        memo->selectAll();
}

void TextEditTarget::undo()
{
    if (!prepareChange())
        return;
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        line->undo();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        memo->undo();
}

void TextEditTarget::deleteSelection()
{
    if (!prepareChange())
        return;
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        line->del();
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(m_widget))
        memo->textCursor().removeSelectedText();
}
