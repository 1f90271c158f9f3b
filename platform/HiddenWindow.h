#pragma once

#include <QObject>
#include <functional>

class HiddenWindow;

// The first message number that a program may give a meaning of its own.
constexpr quint32 WM_USER = 0x0400;

// A window procedure: receives every message of the window it is installed on (the window,
// the message number and its two parameters) and answers with a result.
using WindowProc = std::function<qint32(HiddenWindow *window, quint32 message, quint32 wParam, qint32 lParam)>;

// The application's hidden window. It never appears on the screen; it takes the messages
// posted to it and hands each, through the event loop, to its current window procedure,
// which the program may swap for one of its own (and later put back).
class HiddenWindow : public QObject
{
    Q_OBJECT

public:
    explicit HiddenWindow(QObject *parent = nullptr);
    ~HiddenWindow() override;

    // Queues a message; the window procedure gets it from the event loop, in posting order.
    // Safe to call from any thread (but not from a signal handler).
    void postMessage(quint32 message, quint32 wParam, qint32 lParam);
    // Hands a message to the window procedure at once and returns its answer.
    qint32 sendMessage(quint32 message, quint32 wParam, qint32 lParam);

    const WindowProc &windowProc() const { return m_windowProc; }
    // Installs a window procedure and returns the one it replaces. An empty one stands for
    // the default procedure.
    WindowProc setWindowProc(WindowProc windowProc);

    // What a window does with a message nobody handles: nothing, and answers 0.
    static qint32 defWindowProc(HiddenWindow *window, quint32 message, quint32 wParam, qint32 lParam);

protected:
    bool event(QEvent *event) override;

private:
    WindowProc m_windowProc;
};
