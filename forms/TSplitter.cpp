#include "TSplitter.h"

#include <QLayout>
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
    return std::min(requested, room());
}

// The control's greatest height: what its parent has once the other parts of its layout have
// their minimum heights. Any more and the window would have to grow.
int TSplitter::room() const
{
    const QWidget *parent = parentWidget();
    if (!m_control || !parent || !parent->layout())
        return QWIDGETSIZE_MAX;
    const int others = parent->layout()->minimumSize().height() - m_control->minimumHeight();
    return std::max(parent->height() - others, 0);
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
