#include "HiddenWindow.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

// One posted message on its way through the event queue.
class MessageEvent : public QEvent
{
public:
    static QEvent::Type eventType()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }

    MessageEvent(quint32 message, quint32 wParam, qint32 lParam)
        : QEvent(eventType()), message(message), wParam(wParam), lParam(lParam)
    {
    }

    const quint32 message;
    const quint32 wParam;
    const qint32 lParam;
};

} // namespace

HiddenWindow::HiddenWindow(QObject *parent) : QObject(parent), m_windowProc(&HiddenWindow::defWindowProc) {}

HiddenWindow::~HiddenWindow() = default;

void HiddenWindow::postMessage(quint32 message, quint32 wParam, qint32 lParam)
{
    QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam));
}

qint32 HiddenWindow::sendMessage(quint32 message, quint32 wParam, qint32 lParam)
{
    // A copy, so that a procedure that swaps itself out while it runs stays alive.
    const WindowProc windowProc = m_windowProc;
    return windowProc(this, message, wParam, lParam);
}

WindowProc HiddenWindow::setWindowProc(WindowProc windowProc)
{
    if (!windowProc)
        windowProc = &HiddenWindow::defWindowProc;
    std::swap(m_windowProc, windowProc);
    return windowProc;
}

qint32 HiddenWindow::defWindowProc(HiddenWindow *, quint32, quint32, qint32)
{
    return 0;
}

bool HiddenWindow::event(QEvent *event)
{
    if (event->type() != MessageEvent::eventType())
        return QObject::event(event);
    const auto *message = static_cast<const MessageEvent *>(event);
    sendMessage(message->message, message->wParam, message->lParam);
    return true;
}
