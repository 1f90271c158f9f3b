#pragma once

#include <QPushButton>

// A dialog's push button: pressing it ends its dialog with its modal result (a result of
// 0 leaves the dialog open), and Esc presses it when its Cancel flag is set. Enter presses
// the focused button, or the one with the Default flag (QPushButton's default).
class TButton : public QPushButton
{
    Q_OBJECT

public:
    explicit TButton(QWidget *parent);

    int modalResult() const { return m_modalResult; }
    void setModalResult(int modalResult) { m_modalResult = modalResult; }
    bool cancel() const { return m_cancel; }
    void setCancel(bool cancel) { m_cancel = cancel; }

private:
    void endDialog();

    int m_modalResult = 0;
    bool m_cancel = false;
};
