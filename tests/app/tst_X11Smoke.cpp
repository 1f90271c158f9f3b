// Runs the real program in a real X server: F4 puts the first speech on the clipboard, and
// closing through the File menu writes the settings file; under a window manager the stored
// geometry is the window's outer bounds, frame included.

#include "TestDatabase.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Runs a tool to its end and returns what it printed.
QByteArray run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
               int timeoutMs = 10000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    return process.readAllStandardOutput();
}

} // namespace

class tst_X11Smoke : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void copyToClipboardAndExitThroughTheMenu();
    void windowKeepsItsOuterBoundsUnderAWindowManager();

private:
    QProcess m_server;
    QProcessEnvironment m_environment;
};

void tst_X11Smoke::initTestCase()
{
    for (const char *name : {"Xvfb", "xdotool", "xclip"})
        QVERIFY2(!tool(name).isEmpty(), name); // scripts/install-deps.sh installs them
    // A display number nobody uses.
    int display = 90 + int(QCoreApplication::applicationPid() % 100);
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)) ||
           QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
        ++display;
    m_server.start(tool("Xvfb"), {QStringLiteral(":%1").arg(display), QStringLiteral("-screen"), QStringLiteral("0"),
                                  QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                  // No reset when the last client leaves, so that the next one
                                  // never arrives while the server starts over and is turned away.
                                  QStringLiteral("-noreset")});
    QVERIFY(m_server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)), 10000);
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
}

void tst_X11Smoke::cleanupTestCase()
{
    m_server.terminate();
    m_server.waitForFinished(5000);
}

void tst_X11Smoke::copyToClipboardAndExitThroughTheMenu()
{
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("tinlark"));
    QVERIFY(QFile::copy(QStringLiteral(TINLARK_EXECUTABLE), program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString text = QStringLiteral("Grüße, élève, Привет\r\nsecond line");
    {
        TestDatabase db(folder.filePath(QStringLiteral("Speeches.csp")));
        db.addSpeech(db.addLanguage(QStringLiteral("Nederlands")), QStringLiteral("nl"), QStringLiteral("Hallo"));
        db.addSpeech(db.addLanguage(QStringLiteral("Deutsch")), QStringLiteral("de"), text);
    }

    QProcess tinlark;
    tinlark.setProcessEnvironment(m_environment);
    tinlark.start(program, {});
    QVERIFY(tinlark.waitForStarted());
    const QByteArray window =
        run(tool("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                              QStringLiteral("^The Tinlark$")}, m_environment, 30000)
            .split('\n')
            .value(0);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    // Without a window manager the window is given the focus by hand.
    run(tool("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::fromLatin1(window)}, m_environment);
    run(tool("xdotool"), {QStringLiteral("key"), QStringLiteral("F4")}, m_environment);
    QByteArray clipboard;
    QTRY_VERIFY_WITH_TIMEOUT(
        (clipboard = run(tool("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")},
                         m_environment, 3000)) == text.toUtf8(),
        10000);

    run(tool("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+f")}, m_environment);
    run(tool("xdotool"), {QStringLiteral("key"), QStringLiteral("x")}, m_environment);
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
    for (const char *name : {"openbox", "xprop", "xwininfo"})
        QVERIFY2(!tool(name).isEmpty(), name); // scripts/install-deps.sh installs them
    QProcess windowManager;
    windowManager.setProcessEnvironment(m_environment);
    windowManager.start(tool("openbox"), {});
    QVERIFY(windowManager.waitForStarted());
    const auto stopWindowManager = qScopeGuard([&windowManager] {
        windowManager.terminate();
        windowManager.waitForFinished(5000);
    });
    // The window manager announces itself on the root window once it manages windows.
    QTRY_VERIFY2_WITH_TIMEOUT(run(tool("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")},
                                  m_environment)
                                  .contains("window id"),
                              windowManager.readAllStandardError().constData(), 30000);

    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("tinlark"));
    QVERIFY(QFile::copy(QStringLiteral(TINLARK_EXECUTABLE), program));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        TestDatabase db(folder.filePath(QStringLiteral("Speeches.csp")));
        db.addSpeech(db.addLanguage(QStringLiteral("English")), QStringLiteral("en"));
    }
    QFile settings(folder.filePath(QStringLiteral("Tinlark.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[MainForm]\nL=100\nT=80\nW=612\nH=410\n");
    settings.close();

    QProcess tinlark;
    tinlark.setProcessEnvironment(m_environment);
    tinlark.start(program, {});
    QVERIFY(tinlark.waitForStarted());
    const QString window = QString::fromLatin1(
        run(tool("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), QStringLiteral("^The Tinlark$")},
            m_environment, 30000)
            .split('\n')
            .value(0));
    QVERIFY2(!window.isEmpty(), tinlark.readAllStandardError().constData());
    // The window's own area and the frame the window manager puts round it, as X sees them.
    const auto outerBounds = [this, &window] {
        const QByteArray extents =
            run(tool("xprop"), {QStringLiteral("-id"), window, QStringLiteral("_NET_FRAME_EXTENTS")}, m_environment);
        const QByteArray info = run(tool("xwininfo"), {QStringLiteral("-id"), window}, m_environment);
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

    run(tool("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}, m_environment);
    run(tool("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+f")}, m_environment);
    run(tool("xdotool"), {QStringLiteral("key"), QStringLiteral("x")}, m_environment);
    QVERIFY2(tinlark.waitForFinished(20000), "the program did not end through File, Exit");
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray written = settings.readAll();
    QVERIFY2(written.startsWith("[MainForm]\nL=100\nT=80\nW=612\nH=410\n"), written.constData());
}

TINLARK_TEST_MAIN(tst_X11Smoke)
#include "tst_X11Smoke.moc"
