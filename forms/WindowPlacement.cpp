#include "WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// How far a rectangle lies from a screen: 0 when they meet.
qint64 distance(const QRect &bounds, const QRect &screen)
{
    const qint64 dx = std::max<qint64>(
        {0, qint64(screen.left()) - bounds.right(), qint64(bounds.left()) - screen.right()});
    const qint64 dy = std::max<qint64>(
        {0, qint64(screen.top()) - bounds.bottom(), qint64(bounds.top()) - screen.bottom()});
    return dx * dx + dy * dy;
}

// The start of a span of the given length moved into [low, high], its start kept in when
// it is longer.
int within(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length + 1));
}

} // namespace

WindowPlacement::WindowPlacement(QWidget *window)
    : QObject(window), m_window(window), m_bounds(window->pos(), window->size())
{
    window->installEventFilter(this);
}

QRect WindowPlacement::usableBounds(QRect bounds, const QList<QRect> &screens)
{
    bounds.setWidth(std::min(bounds.width(), MaxSide));
    bounds.setHeight(std::min(bounds.height(), MaxSide));
    if (screens.isEmpty())
        return bounds;
    // What the window will cover once shown: a window manager gives it at least a pixel.
    const QRect covered(bounds.topLeft(), QSize(std::max(bounds.width(), 1), std::max(bounds.height(), 1)));
    const auto nearest = std::min_element(screens.begin(), screens.end(), [&covered](const QRect &a, const QRect &b) {
        return distance(covered, a) < distance(covered, b);
    });
    if (nearest->intersects(covered))
        return bounds;
    bounds.moveTo(within(bounds.x(), covered.width(), nearest->left(), nearest->right()),
                  within(bounds.y(), covered.height(), nearest->top(), nearest->bottom()));
    return bounds;
}

QSize WindowPlacement::innerSize(const QSize &outer, const QMargins &frame)
{
    return QSize(outer.width() - frame.left() - frame.right(), outer.height() - frame.top() - frame.bottom());
}

QMargins WindowPlacement::frame() const
{
    const QWindow *handle = m_window->windowHandle();
    return handle && m_window->isVisible() ? handle->frameMargins() : QMargins();
}

void WindowPlacement::setOuterBounds(const QRect &bounds)
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    m_bounds = usableBounds(bounds, screens);
    apply();
}

QRect WindowPlacement::outerBounds() const
{
    // Also after the window has closed: its place and size, with the frame it last had.
    const QSize size = m_window->size().grownBy(m_appliedFrame);
    return QRect(m_window->pos(), size);
}

void WindowPlacement::apply()
{
    m_applying = true;
    m_appliedFrame = frame();
    const QSize inner = innerSize(m_bounds.size(), m_appliedFrame);
    if (beforeResize)
        beforeResize(inner.height());
    m_window->resize(inner);
    m_window->move(m_bounds.topLeft());
    m_applying = false;
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || m_applying)
        return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        if (!m_window->isVisible() || m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            break;
        if (frame() != m_appliedFrame)
            apply(); // the window manager framed the window: the same outer bounds, less inside
        else
            m_bounds = m_window->frameGeometry(); // the user moved or resized it
        break;
    default:
        break;
    }
    return false;
}
