#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Gives a control the keyboard focus when its window is first shown: before that the
// control may still be hidden in its band, and a hidden control cannot take the focus.
class InitialFocus : public QObject
{
    Q_OBJECT

public:
    InitialFocus(QWidget *window, QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_control;
};
