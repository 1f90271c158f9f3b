#include "InitialFocus.h"

#include <QEvent>
#include <QWidget>

InitialFocus::InitialFocus(QWidget *window, QWidget *control) : QObject(window), m_control(control)
{
    window->installEventFilter(this);
}

bool InitialFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        watched->removeEventFilter(this);
        if (m_control)
            m_control->setFocus(Qt::OtherFocusReason);
    }
    return false;
}
