#include "HiddenWindow.h"
#include "TestMain.h"

class tst_HiddenWindow : public QObject
{
    Q_OBJECT

private slots:
    // Posted messages wait for the event loop and arrive whole, in the order they were posted.
    void postedMessagesArriveInOrder()
    {
        HiddenWindow window;
        QList<QList<qint64>> received;
        HiddenWindow *target = nullptr;
        window.setWindowProc([&](HiddenWindow *to, quint32 message, quint32 wParam, qint32 lParam) {
            target = to;
            received.append({message, wParam, lParam});
            return 0;
        });
        window.postMessage(WM_USER + 1, 0, 0);
        window.postMessage(7, 0xffffffff, -2147483647 - 1);
        window.postMessage(WM_USER + 1, 1, 1);
        QVERIFY(received.isEmpty());
        QTRY_COMPARE(received.size(), 3);
        QCOMPARE(target, &window);
        QCOMPARE(received[0], (QList<qint64>{WM_USER + 1, 0, 0}));
        QCOMPARE(received[1], (QList<qint64>{7, 0xffffffff, -2147483648LL}));
        QCOMPARE(received[2], (QList<qint64>{WM_USER + 1, 1, 1}));
    }

    // Subclassing: the new procedure replaces the old one, which it may call on.
    void swappingProcedures()
    {
        HiddenWindow window;
        QCOMPARE(window.sendMessage(WM_USER, 1, 2), 0);
        const WindowProc original = window.setWindowProc(
            [](HiddenWindow *, quint32 message, quint32, qint32) { return qint32(message) * 2; });
        WindowProc previous = window.setWindowProc([&previous](HiddenWindow *target, quint32 message, quint32 wParam, qint32 lParam) {
            return message == 5 ? 1 : previous(target, message, wParam, lParam);
        });
        QCOMPARE(window.sendMessage(5, 0, 0), 1);
        QCOMPARE(window.sendMessage(6, 0, 0), 12);
        window.setWindowProc(previous);
        QCOMPARE(window.sendMessage(5, 0, 0), 10);
        window.setWindowProc(nullptr); // stands for the default procedure
        QCOMPARE(window.sendMessage(5, 0, 0), 0);
        QCOMPARE(original(&window, 5, 0, 0), 0);
    }
};

TINLARK_TEST_MAIN(tst_HiddenWindow)
#include "tst_HiddenWindow.moc"
