#pragma once

#include <QList>
#include <QObject>

class QAction;
class QWidget;

// Gives a window's enabled actions the first claim on their shortcut keys. Text controls
// keep some keys for themselves (Ctrl+Ins copies, Del deletes); while an action with such a
// shortcut is enabled, the key runs the action from any control of the window. A key of a
// disabled action still reaches the focused control, as if there were no shortcut.
class ShortcutFirstFilter : public QObject
{
    Q_OBJECT

public:
    ShortcutFirstFilter(QWidget *window, QList<QAction *> actions);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QList<QAction *> m_actions;
};
