#include "SignalForwarder.h"

#include "Exception.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The write end of the pipe, read by the handler; -1 while no forwarder exists.
volatile sig_atomic_t writeFd = -1;

// Does only what is safe inside a signal handler: one write, errno kept as it was.
void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request; this one may be dropped.
    [[maybe_unused]] const ssize_t written = ::write(writeFd, &number, 1);
    errno = savedErrno;
}

} // namespace

SignalForwarder::SignalForwarder(const QList<int> &signalNumbers, std::function<void(int)> onSignal, QObject *parent)
    : QObject(parent), m_onSignal(std::move(onSignal)), m_signalNumbers(signalNumbers)
{
    if (writeFd != -1)
        throw Exception(QStringLiteral("Signals are already forwarded"));
    int fds[2];
    // Both ends non-blocking: the handler must never wait, and the reader stops at empty.
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw Exception(QStringLiteral("Cannot create the signal pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    m_readFd = fds[0];
    writeFd = fds[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_readFd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &SignalForwarder::readPipe);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : m_signalNumbers) {
        struct sigaction previous = {};
        ::sigaction(signalNumber, &action, &previous);
        m_previousActions.append(previous);
    }
}

SignalForwarder::~SignalForwarder()
{
    for (qsizetype i = 0; i < m_signalNumbers.size(); ++i)
        ::sigaction(m_signalNumbers[i], &m_previousActions[i], nullptr);
    m_notifier.reset();
    const int fd = writeFd;
    writeFd = -1;
    ::close(fd);
    ::close(m_readFd);
}

void SignalForwarder::readPipe()
{
    unsigned char numbers[64];
    ssize_t count;
    while ((count = ::read(m_readFd, numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            m_onSignal(numbers[i]);
    }
}
