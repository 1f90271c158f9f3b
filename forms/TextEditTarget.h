#pragma once

class QWidget;

// The text control the standard edit actions work on: the focused keywords edit or memo
// of a window. Changes through a data-aware control start an edit of its row first, as
// typing does; a read-only control keeps its text.
class TextEditTarget
{
public:
    // The focused widget, when it is a text control that the edit actions serve.
    static TextEditTarget focused(const QWidget *window);

    bool isValid() const { return m_widget != nullptr; }
    bool hasSelection() const;
    bool hasText() const;
    bool canUndo() const;

    void cut();
    void copy();
    void paste();
    void selectAll();
    void undo();
    void deleteSelection();

private:
    explicit TextEditTarget(QWidget *widget) : m_widget(widget) {}
    bool prepareChange() const;

    QWidget *m_widget;
};
