// Runs the real program in a real X server: F4 puts the first speech on the clipboard, and
// closing through the File menu writes the settings file; under a window manager the stored
// geometry is the window's outer bounds, frame included.

#include "PortableProgram.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "XDesktop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

class tst_X11Smoke : public QObject
{
    Q_OBJECT

private slots:
    void copyToClipboardAndExitThroughTheMenu();
    void windowKeepsItsOuterBoundsUnderAWindowManager();
};

void tst_X11Smoke::copyToClipboardAndExitThroughTheMenu()
{
    QVERIFY2(!XDesktop::tool("xclip").isEmpty(), "xclip"); // scripts/install-deps.sh installs it
    XDesktop desktop;
    QVERIFY2(desktop.start(), qPrintable(desktop.error()));
    QTemporaryDir folder;
    const QString program = copyPortableProgram(folder.path());
    QVERIFY(!program.isEmpty());
    const QString text = QStringLiteral("Grüße, élève, Привет\r\nsecond line");
    {
        TestDatabase db(folder.filePath(QStringLiteral("Speeches.csp")));
        db.addSpeech(db.addLanguage(QStringLiteral("Nederlands")), QStringLiteral("nl"), QStringLiteral("Hallo"));
        db.addSpeech(db.addLanguage(QStringLiteral("Deutsch")), QStringLiteral("de"), text);
    }

    QProcess tinlark;
    tinlark.setProcessEnvironment(desktop.environment());
    tinlark.start(program, {});
    QVERIFY(tinlark.waitForStarted());
    const QString window = desktop.waitForWindow(QStringLiteral("The Tinlark"));
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    // A library file needs neither the server's client library nor the keyring's at start.
    QFile maps(QStringLiteral("/proc/%1/maps").arg(tinlark.processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY2(!mapped.contains("/libpq.so") && !mapped.contains("/libsecret-1.so"), "loaded at start");
    // Without a window manager the window is given the focus by hand.
    desktop.run("xdotool", {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("F4")});
    QByteArray clipboard;
    QTRY_VERIFY_WITH_TIMEOUT(
        (clipboard = desktop.run("xclip", {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")},
                                 3000)) == text.toUtf8(),
        10000);

    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("alt+f")});
    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("x")});
    QVERIFY2(tinlark.waitForFinished(20000), "the program did not end through File, Exit");
    QCOMPARE(tinlark.exitCode(), 0);
    QFile settings(folder.filePath(QStringLiteral("Tinlark.ini")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray written = settings.readAll();
    QVERIFY2(written.startsWith("[MainForm]\nL="), written.constData());
    QVERIFY(written.contains("\nIndex=0\n"));
}

void tst_X11Smoke::windowKeepsItsOuterBoundsUnderAWindowManager()
{
    QVERIFY2(!XDesktop::tool("xwininfo").isEmpty(), "xwininfo"); // scripts/install-deps.sh installs it
    XDesktop desktop;
    QVERIFY2(desktop.start(QStringLiteral("1024x768x24"), true), qPrintable(desktop.error()));

    QTemporaryDir folder;
    const QString program = copyPortableProgram(folder.path());
    QVERIFY(!program.isEmpty());
    {
        TestDatabase db(folder.filePath(QStringLiteral("Speeches.csp")));
        db.addSpeech(db.addLanguage(QStringLiteral("English")), QStringLiteral("en"));
    }
    QFile settings(folder.filePath(QStringLiteral("Tinlark.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[MainForm]\nL=100\nT=80\nW=612\nH=410\n");
    settings.close();

    QProcess tinlark;
    tinlark.setProcessEnvironment(desktop.environment());
    tinlark.start(program, {});
    QVERIFY(tinlark.waitForStarted());
    const QString window = desktop.waitForWindow(QStringLiteral("The Tinlark"));
    QVERIFY2(!window.isEmpty(), tinlark.readAllStandardError().constData());
    // The window's own area and the frame the window manager puts round it, as X sees them.
    const auto outerBounds = [&desktop, &window] {
        const QByteArray extents =
            desktop.run("xprop", {QStringLiteral("-id"), window, QStringLiteral("_NET_FRAME_EXTENTS")});
        const QByteArray info = desktop.run("xwininfo", {QStringLiteral("-id"), window});
        const auto value = [&info](const char *label) {
            const qsizetype at = info.indexOf(label);
            return at < 0 ? -1 : info.mid(at + qsizetype(strlen(label))).split('\n').value(0).trimmed().toInt();
        };
        const QList<QByteArray> frame = extents.mid(extents.indexOf('=') + 1).split(',');
        if (frame.size() != 4)
            return QRect();
        const int left = frame[0].trimmed().toInt(), right = frame[1].trimmed().toInt();
        const int top = frame[2].trimmed().toInt(), bottom = frame[3].trimmed().toInt();
        return QRect(value("Absolute upper-left X:") - left, value("Absolute upper-left Y:") - top,
                     value("Width:") + left + right, value("Height:") + top + bottom);
    };
    QTRY_COMPARE_WITH_TIMEOUT(outerBounds(), QRect(100, 80, 612, 410), 10000);

    desktop.run("xdotool", {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("alt+f")});
    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("x")});
    QVERIFY2(tinlark.waitForFinished(20000), "the program did not end through File, Exit");
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray written = settings.readAll();
    QVERIFY2(written.startsWith("[MainForm]\nL=100\nT=80\nW=612\nH=410\n"), written.constData());
}

TINLARK_TEST_MAIN(tst_X11Smoke)
#include "tst_X11Smoke.moc"
