#include "EAbort.h"
#include "ImageList.h"
#include "LocaleInfo.h"
#include "Lmutils.h"
#include "ModalDialogHelper.h"
#include "TestMain.h"

#include <QCloseEvent>
#include <QDialog>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTimer>
#include <QWindow>

namespace {

// A locale whose answers the test chooses; counts how often it is asked.
class FakeLocale : public LocaleInfo
{
public:
    QString shortDateFormat() const override
    {
        ++queries;
        return format;
    }
    QString centurySetting() const override { return century; }

    QString format = QStringLiteral("d-M-yy");
    QString century = QStringLiteral("0");
    mutable int queries = 0;
};

struct Message
{
    quint32 message;
    quint32 wParam;
    qint32 lParam;
};

// A top-level window that remembers being closed.
class MainWindow : public QWidget
{
public:
    int closeEvents = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeEvents;
        QWidget::closeEvent(event);
    }
};

} // namespace

class tst_Lmutils : public QObject
{
    Q_OBJECT

private:
    FakeLocale m_locale;
    QList<Message> m_received;
    WindowProc m_original;

    // A window procedure that keeps what it gets, in place of the default one.
    void installRecorder()
    {
        m_original = TApplication::instance()->hiddenWindow()->setWindowProc(
            [this](HiddenWindow *, quint32 message, quint32 wParam, qint32 lParam) {
                m_received.append({message, wParam, lParam});
                return qint32(77);
            });
    }

    // Runs the application's message loop as the program does; a loop that the test fails
    // to end stops after a while with code 1.
    static int runMessageLoop()
    {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        return QApplication::exec();
    }

private slots:
    void init()
    {
        setLocaleInfo(&m_locale);
        m_received.clear();
        installRecorder();
    }

    void cleanup()
    {
        // Ends whatever starts a failed test left behind; an exit too many does nothing.
        for (int i = 0; i < 5; ++i)
            LmutilsExit();
        TApplication::instance()->hiddenWindow()->setWindowProc(m_original);
        setLocaleInfo(nullptr);
        m_locale = FakeLocale();
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.cbegin(), windows.cend(), [](QWidget *window) { return window->isVisible(); }));
    }

    void shortDateFormatFollowsTheCentury_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("century");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two-digit years widened") << "d-M-yy" << "0" << "d-M-yyyy";
        QTest::newRow("four-digit years kept") << "dd/MM/yyyy" << "1" << "dd/MM/yyyy";
        QTest::newRow("year first") << "yy/MM/dd" << "0" << "yyyy/MM/dd";
        QTest::newRow("only the first yy") << "yy/MM/dd yy" << "0" << "yyyy/MM/dd yy";
        QTest::newRow("two-digit setting kept as given") << "d-M-yy" << "1" << "d-M-yy";
        QTest::newRow("upper case is no year") << "d-M-YY" << "0" << "d-M-YY";
        QTest::newRow("no century answer widens") << "d-M-yy" << "" << "d-M-yyyy";
        QTest::newRow("14 characters fit") << "dd/MM/yy dddd." << "0" << "dd/MM/yyyy dddd.";
        QTest::newRow("15 characters do not fit") << "dd/MM/yy ddddd." << "0" << "";
        QTest::newRow("no format") << "" << "0" << "";
    }

    void shortDateFormatFollowsTheCentury()
    {
        QFETCH(QString, format);
        QFETCH(QString, century);
        QFETCH(QString, expected);
        m_locale.format = format;
        m_locale.century = century;
        LmutilsStartup();
        const QString atStartup = ShortDateFormatEx;
        LmutilsExit();
        QCOMPARE(atStartup, expected);
        QVERIFY(ShortDateFormatEx.isEmpty());
    }

    // However often the unit is started, its start-up and exit work run once.
    void startupAndExitRunOnce()
    {
        HiddenWindow *window = TApplication::instance()->hiddenWindow();
        LmutilsStartup();
        LmutilsStartup();
        QCOMPARE(m_locale.queries, 1);
        QVERIFY(indicatorImages());
        m_locale.format = QStringLiteral("yy-MM-dd");
        LmutilsExit();
        LmutilsStartup();
        QCOMPARE(m_locale.queries, 1);
        QCOMPARE(ShortDateFormatEx, QStringLiteral("d-M-yyyy"));
        LmutilsExit();
        // Still started once: the library's procedure passes messages on to the recorder.
        QCOMPARE(window->sendMessage(WM_USER + 7, 1, 2), 77);
        QCOMPARE(m_received.size(), 1);
        LmutilsExit();
        QVERIFY(ShortDateFormatEx.isEmpty());
        QVERIFY(!indicatorImages());
        // The recorder is the hidden window's procedure again: it gets the terminate request itself.
        window->sendMessage(TerminateRequest, 0, 0);
        QCOMPARE(m_received.size(), 2);
        QCOMPARE(m_received.last().message, TerminateRequest);
        // An exit too many changes nothing.
        LmutilsExit();
        LmutilsStartup();
        QCOMPARE(m_locale.queries, 2);
        QCOMPARE(ShortDateFormatEx, QStringLiteral("yyyy-MM-dd"));
        LmutilsExit();
    }

    void otherMessagesPassOnUnchanged()
    {
        LmutilsStartup();
        HiddenWindow *window = TApplication::instance()->hiddenWindow();
        window->postMessage(WM_USER + 2, 0xfffffffe, -5);
        window->postMessage(15, 3, 4);
        QTRY_COMPARE(m_received.size(), 2);
        LmutilsExit();
        QCOMPARE(m_received[0].message, WM_USER + 2);
        QCOMPARE(m_received[0].wParam, 0xfffffffeu);
        QCOMPARE(m_received[0].lParam, -5);
        QCOMPARE(m_received[1].message, 15u);
    }

    void indicatorPicture()
    {
        LmutilsStartup();
        const ImageList *images = indicatorImages();
        QVERIFY(images);
        QCOMPARE(images->count(), 1);
        QCOMPARE(QSize(images->width(), images->height()), QSize(6, 11));
        const QImage &arrow = images->image(0);
        QCOMPARE(qAlpha(arrow.pixel(0, 0)), 0);         // the white background is clear
        QCOMPARE(arrow.pixel(1, 5), qRgba(0, 0, 0, 255)); // the arrow is black
        LmutilsExit();
    }

    void missingOrBrokenPictureIsDropped()
    {
        QVERIFY(!loadIndicatorImages(QStringLiteral(":/bitmaps/NOSUCHBITMAP")));
        QTemporaryFile broken;
        QVERIFY(broken.open());
        broken.write("BM this is no bitmap");
        broken.close();
        QVERIFY(!loadIndicatorImages(broken.fileName()));
    }

    // The terminate request closes the windows as the user would and ends the message loop.
    void terminateRequestEndsTheLoop()
    {
        LmutilsStartup();
        MainWindow window;
        window.show();
        TApplication::instance()->hiddenWindow()->postMessage(TerminateRequest, 0, 0);
        QCOMPARE(runMessageLoop(), 0);
        LmutilsExit();
        QCOMPARE(window.closeEvents, 1);
        QVERIFY(!window.isVisible());
        QVERIFY(m_received.isEmpty());
    }

    // Also from inside modal dialogs, one of which refuses to close: every loop ends.
    void terminateRequestEndsModalLoops()
    {
        LmutilsStartup();
        MainWindow window;
        window.show();
        QDialog dialog(&window);
        QDialog stubborn;
        DisableCloseButton(&stubborn);
        int dialogResult = -1;
        int stubbornResult = -1;
        bool afterLoops = false;
        QTimer::singleShot(0, &dialog, [&] {
            answerNextModal([&](QWidget *) {
                answerNextModal([](QWidget *) {
                    TApplication::instance()->hiddenWindow()->postMessage(TerminateRequest, 0, 0);
                });
                stubbornResult = stubborn.exec();
            });
            dialogResult = dialog.exec();
            // A dialog opened after the request does not wait for the user.
            QDialog late(&window);
            QTimer::singleShot(2000, &late, [&late] { late.done(99); });
            QCOMPARE_NE(late.exec(), 99);
            afterLoops = true;
        });
        QCOMPARE(runMessageLoop(), 0);
        LmutilsExit();
        QVERIFY(afterLoops);
        QCOMPARE(dialogResult, int(QDialog::Rejected));
        QCOMPARE(stubbornResult, 2); // Cancel, as any dialog closed from outside answers
        QCOMPARE(window.closeEvents, 1);
        QVERIFY(!window.isVisible());
    }

    void disabledCloseButtonRefusesToClose()
    {
        QDialog dialog;
        DisableCloseButton(&dialog);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.close());
        QVERIFY(!dialog.windowHandle()->close()); // what the window manager's Alt+F4 asks
        QVERIFY(dialog.isVisible());
        dialog.accept(); // its own buttons still end it
        QVERIFY(!dialog.isVisible());
    }

    void killProgramShowsTheReasonAndPostsTheRequest()
    {
        TApplication::instance()->setTitle(QStringLiteral("The Tinlark"));
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        answerNextModal([&](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            QTest::keyClick(box, Qt::Key_Enter);
        });
        QVERIFY_THROWS_EXCEPTION(EAbort, KillProgram(QStringLiteral("Out of paper")));
        QCOMPARE(title, QStringLiteral("The Tinlark"));
        QCOMPARE(text, QStringLiteral("Out of paper"));
        QCOMPARE(icon, QMessageBox::Critical);
        QVERIFY(m_received.isEmpty()); // posted, not sent
        QTRY_COMPARE(m_received.size(), 1);
        QCOMPARE(m_received[0].message, TerminateRequest);
        QCOMPARE(m_received[0].wParam, 0u);
        QCOMPARE(m_received[0].lParam, 0);

        // Without a reason nothing is shown.
        QVERIFY_THROWS_EXCEPTION(EAbort, KillProgram(QString()));
        QVERIFY(!QApplication::activeModalWidget());
        QTRY_COMPARE(m_received.size(), 2);
    }
};

TINLARK_TEST_MAIN(tst_Lmutils)
#include "tst_Lmutils.moc"
