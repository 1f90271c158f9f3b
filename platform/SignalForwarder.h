#pragma once

#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <signal.h>

class QSocketNotifier;

// Turns process signals (SIGTERM and the like) into a call from the event loop. The signal
// handler only writes the signal's number into a pipe, which is safe in a handler; the
// pipe's notifier then calls onSignal on the thread that owns this object. A signal that
// arrives before the event loop runs waits in the pipe. One forwarder at a time.
class SignalForwarder : public QObject
{
    Q_OBJECT

public:
    SignalForwarder(const QList<int> &signalNumbers, std::function<void(int signalNumber)> onSignal,
                    QObject *parent = nullptr);
    // Puts the previous handlers back.
    ~SignalForwarder() override;

private:
    void readPipe();

    std::function<void(int)> m_onSignal;
    QList<int> m_signalNumbers;
    QList<struct sigaction> m_previousActions;
    int m_readFd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
