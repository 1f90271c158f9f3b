#include "TSplitter.h"

#include <QMouseEvent>

TSplitter::TSplitter(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(3);
    setCursor(Qt::SizeVerCursor);
}

int TSplitter::heightAfterDrag(int requested) const
{
    if (requested <= m_minSize)
        return 0;
    // The control may not push the rest of the window out of sight.
    const int room = m_control && parentWidget() ? parentWidget()->height() - height() - 30 : requested;
    return std::min(requested, std::max(room, 0));
}

void TSplitter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_control)
        return;
    m_dragging = true;
    m_pressY = int(event->globalPosition().y());
    m_startHeight = m_control->height();
}

void TSplitter::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const int requested = m_startHeight + m_pressY - int(event->globalPosition().y());
    m_control->setFixedHeight(heightAfterDrag(requested));
}

void TSplitter::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}
