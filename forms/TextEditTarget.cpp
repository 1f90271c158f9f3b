#include "TextEditTarget.h"

#include "TDBEdit.h"
#include "TDBMemo.h"

#include <QApplication>

namespace {

// Runs action on the widget as the one-line or the multi-line edit it is; both offer the
// same editing operations under the same names.
template <typename Action>
auto withEditor(QWidget *widget, Action action)
{
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return action(line);
    return action(qobject_cast<QPlainTextEdit *>(widget));
}

} // namespace

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
    return static_cast<QPlainTextEdit *>(m_widget)->textCursor().hasSelection();
}

bool TextEditTarget::hasText() const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        return !line->text().isEmpty();
    return !static_cast<QPlainTextEdit *>(m_widget)->document()->isEmpty();
}

bool TextEditTarget::canUndo() const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        return line->isUndoAvailable();
    return static_cast<QPlainTextEdit *>(m_widget)->document()->isUndoAvailable();
}

bool TextEditTarget::prepareChange() const
{
    if (m_widget->property("readOnly").toBool())
        return false;
    if (auto *edit = qobject_cast<TDBEdit *>(m_widget))
        return edit->link().prepareChange();
    return static_cast<TDBMemo *>(m_widget)->link().prepareChange();
}

void TextEditTarget::cut()
{
    if (prepareChange())
        withEditor(m_widget, [](auto *editor) { editor->cut(); });
}

void TextEditTarget::copy()
{
    withEditor(m_widget, [](auto *editor) { editor->copy(); });
}

void TextEditTarget::paste()
{
    if (prepareChange())
        withEditor(m_widget, [](auto *editor) { editor->paste(); });
}

void TextEditTarget::selectAll()
{
    withEditor(m_widget, [](auto *editor) { editor->selectAll(); });
}

void TextEditTarget::undo()
{
    if (prepareChange())
        withEditor(m_widget, [](auto *editor) { editor->undo(); });
}

void TextEditTarget::deleteSelection()
{
    if (!prepareChange())
        return;
    if (auto *line = qobject_cast<QLineEdit *>(m_widget))
        line->del();
    else
        static_cast<QPlainTextEdit *>(m_widget)->textCursor().removeSelectedText();
}
