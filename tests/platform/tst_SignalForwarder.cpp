#include "Exception.h"
#include "SignalForwarder.h"
#include "TestMain.h"

#include <csignal>

namespace {

volatile sig_atomic_t ownHandlerCalls = 0;
void ownHandler(int)
{
    ownHandlerCalls = ownHandlerCalls + 1;
}

} // namespace

class tst_SignalForwarder : public QObject
{
    Q_OBJECT

private slots:
    // The handler only queues the signal; the call comes from the event loop, one per signal.
    void signalsArriveThroughTheEventLoop()
    {
        QList<int> received;
        SignalForwarder forwarder({SIGTERM, SIGINT, SIGHUP}, [&received](int signalNumber) { received.append(signalNumber); });
        std::raise(SIGHUP);
        std::raise(SIGTERM);
        std::raise(SIGINT);
        QVERIFY(received.isEmpty());
        QTRY_COMPARE(received, (QList<int>{SIGHUP, SIGTERM, SIGINT}));
    }

    // The handlers that were there before come back when the forwarder goes.
    void previousHandlersComeBack()
    {
        std::signal(SIGHUP, ownHandler);
        ownHandlerCalls = 0;
        {
            int calls = 0;
            SignalForwarder forwarder({SIGHUP}, [&calls](int) { ++calls; });
            std::raise(SIGHUP);
            QTRY_COMPARE(calls, 1);
            QCOMPARE(int(ownHandlerCalls), 0);
        }
        std::raise(SIGHUP);
        QCOMPARE(int(ownHandlerCalls), 1);
        std::signal(SIGHUP, SIG_DFL);
    }

    void onlyOneForwarderAtATime()
    {
        const SignalForwarder first({SIGHUP}, [](int) {});
        QVERIFY_THROWS_EXCEPTION(Exception, SignalForwarder({SIGHUP}, [](int) {}));
    }
};

TINLARK_TEST_MAIN(tst_SignalForwarder)
#include "tst_SignalForwarder.moc"
