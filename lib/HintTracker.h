#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QMenu;
class QWidget;

// Keeps the application's current hint: whenever the program is idle, the long hint of
// the control under the mouse in any of its windows (the first control with a hint on the
// way up through the parents; a tool button speaks for its action); while a menu is open,
// the long hint of the highlighted item, and the empty text once the highlight leaves the
// items or the menu closes. Hints
// are the "hint" property of widgets and actions.
class HintTracker : public QObject
{
    Q_OBJECT

public:
    explicit HintTracker(QObject *parent = nullptr);

    // The long hint for a widget, found on the way up from it.
    static QString hintFor(const QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateFromMouse();
    void followMenu(QMenu *menu);
    void checkMenuHighlight(QMenu *menu);

    QPointer<QWidget> m_underMouse;
    bool m_mouseMoved = false;
    QTimer m_idle;
};
