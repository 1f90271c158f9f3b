// The picker and the one program per settings file, as a user meets them on a desktop with a
// session bus: `tinlark --pick` and a plain second start hand over to the running program and
// end, the picker copies with real keys, and a program with other settings runs beside it.

#include "PortableProgram.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "XDesktop.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// A copy of the portable program in a folder of its own, with two languages of speeches.
QString portableProgram(const QTemporaryDir &folder)
{
    const QString program = copyPortableProgram(folder.path());
    TestDatabase db(folder.filePath(QStringLiteral("Speeches.csp")));
    // Deutsch sorts first, so the main window opens on it.
    const int german = db.addLanguage(QStringLiteral("Deutsch"));
    db.addSpeech(german, QStringLiteral("Gruß Morgen"), QStringLiteral("Guten Morgen"));
    db.addSpeech(german, QStringLiteral("Gruß Abend"), QStringLiteral("Guten Abend"));
    db.addSpeech(db.addLanguage(QStringLiteral("English")), QStringLiteral("pupil"),
                 QStringLiteral("Dear élève,\r\nthe invoice\u00a0follows."));
    return program;
}

// Programs started on a desktop, ended with the test.
class RunningPrograms
{
public:
    explicit RunningPrograms(const XDesktop &desktop) : m_desktop(desktop) {}
    ~RunningPrograms()
    {
        for (const auto &process : m_running) {
            process->terminate();
            if (!process->waitForFinished(10000))
                process->kill();
        }
    }

    QProcess *start(const QString &path, const QStringList &arguments)
    {
        m_running.push_back(std::make_unique<QProcess>());
        m_running.back()->setProcessEnvironment(m_desktop.environment());
        m_running.back()->start(path, arguments);
        return m_running.back().get();
    }

    QString activeWindow() const
    {
        return QString::fromUtf8(m_desktop.run("xdotool", {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}).trimmed());
    }

private:
    const XDesktop &m_desktop;
    std::vector<std::unique_ptr<QProcess>> m_running;
};

} // namespace

class tst_Picker : public QObject
{
    Q_OBJECT

private slots:
    void pickThroughTheRunningProgram();
    void keyOfItsOwnAndPasteAfterCopy();
};

void tst_Picker::pickThroughTheRunningProgram()
{
    XDesktop desktop;
    QVERIFY2(desktop.start(QStringLiteral("1024x768x24"), true), qPrintable(desktop.error()));
    QVERIFY2(desktop.startSessionBus(), qPrintable(desktop.error()));
    QTemporaryDir folder, otherFolder;
    const QString program = portableProgram(folder);
    RunningPrograms programs(desktop);
    const auto start = [&programs](const QString &path, const QStringList &arguments) { return programs.start(path, arguments); };
    const auto key = [&desktop](const char *keys) { desktop.run("xdotool", {QStringLiteral("key"), QString::fromLatin1(keys)}); };
    const auto clipboard = [&desktop] {
        return QString::fromUtf8(
            desktop.run("xclip", {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")}, 3000));
    };
    const auto windowCount = [&desktop](const QString &title) {
        return desktop.run("xdotool", {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                       QStringLiteral("^%1$").arg(title)})
            .count('\n');
    };

    start(program, {});
    const QString mainWindow = desktop.waitForWindow(QStringLiteral("The Tinlark"));
    QVERIFY(!mainWindow.isEmpty());
    const auto activeWindow = [&programs] { return programs.activeWindow(); };
    // Each pick starts a second program that hands over and ends; the picker takes the keys.
    const auto pick = [&] {
        QProcess *picker = start(program, {QStringLiteral("--pick")});
        return picker->waitForFinished(10000) && picker->exitCode() == 0 &&
               QTest::qWaitFor([&] { return activeWindow() == QStringLiteral("Pick a speech"); }, 10000);
    };

    // Two speeches of the main window's language hold "gut"; Down chooses the other one.
    QVERIFY(pick());
    desktop.run("xdotool", {QStringLiteral("type"), QStringLiteral("gut")});
    key("Return");
    QTRY_VERIFY_WITH_TIMEOUT(clipboard().startsWith(QStringLiteral("Guten ")), 10000);
    const QString first = clipboard();
    QCOMPARE(windowCount(QStringLiteral("Pick a speech")), 0);
    QVERIFY(pick());
    desktop.run("xdotool", {QStringLiteral("type"), QStringLiteral("gut")});
    key("Down");
    key("Return");
    QTRY_VERIFY_WITH_TIMEOUT(clipboard().startsWith(QStringLiteral("Guten ")) && clipboard() != first, 10000);
    // With the words deleted the list holds the speeches copied before, the latest copy first.
    QVERIFY(pick());
    key("BackSpace");
    key("Down");
    key("Return");
    QTRY_COMPARE_WITH_TIMEOUT(clipboard(), first, 10000);

    // Another language's speech only with all languages, copied exactly as stored.
    QVERIFY(pick());
    desktop.run("xdotool", {QStringLiteral("type"), QStringLiteral("ELEVE invoi")});
    key("Return");
    QTest::qWait(1000); // nothing may be copied: a second for it not to happen
    QCOMPARE(windowCount(QStringLiteral("Pick a speech")), 1);
    key("ctrl+l");
    key("Return");
    QTRY_COMPARE_WITH_TIMEOUT(clipboard(), QStringLiteral("Dear élève,\r\nthe invoice\u00a0follows."), 10000);

    // A plain second start brings the running window to the front and ends.
    desktop.run("xdotool", {QStringLiteral("windowminimize"), QStringLiteral("--sync"), mainWindow});
    QProcess *again = start(program, {});
    QVERIFY(again->waitForFinished(10000));
    QCOMPARE(again->exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), QStringLiteral("The Tinlark"), 10000);
    QCOMPARE(windowCount(QStringLiteral("The Tinlark")), 1);

    // Other settings: a program of their own, beside the first.
    start(portableProgram(otherFolder), {});
    QTRY_COMPARE_WITH_TIMEOUT(windowCount(QStringLiteral("The Tinlark")), 2, 20000);
}

// With both set in the settings file, the key opens the picker over another program's window,
// and Enter pastes the speech there.
void tst_Picker::keyOfItsOwnAndPasteAfterCopy()
{
    XDesktop desktop;
    QVERIFY2(desktop.start(QStringLiteral("1024x768x24"), true), qPrintable(desktop.error()));
    QVERIFY2(desktop.startSessionBus(), qPrintable(desktop.error()));
    QTemporaryDir folder;
    const QString program = portableProgram(folder);
    QFile settings(folder.filePath(QStringLiteral("Tinlark.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Picker]\nGlobalKey=Ctrl+Alt+P\nPasteAfterCopy=1\n");
    settings.close();
    RunningPrograms programs(desktop);
    programs.start(program, {});
    QVERIFY(!desktop.waitForWindow(QStringLiteral("The Tinlark")).isEmpty());
    QProcess *target = programs.start(QStringLiteral(PASTE_TARGET_EXECUTABLE), {});
    const QString targetWindow = desktop.waitForWindow(QStringLiteral("Paste here"));
    QVERIFY(!targetWindow.isEmpty());
    desktop.run("xdotool", {QStringLiteral("windowactivate"), QStringLiteral("--sync"), targetWindow});
    QTRY_COMPARE_WITH_TIMEOUT(programs.activeWindow(), QStringLiteral("Paste here"), 10000);

    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("ctrl+alt+p")});
    QTRY_COMPARE_WITH_TIMEOUT(programs.activeWindow(), QStringLiteral("Pick a speech"), 10000);
    desktop.run("xdotool", {QStringLiteral("type"), QStringLiteral("morgen")});
    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("Return")});
    QByteArray fieldTexts;
    QTRY_VERIFY_WITH_TIMEOUT((fieldTexts += target->readAllStandardOutput()).contains("Guten Morgen\n"), 10000);
    QCOMPARE(programs.activeWindow(), QStringLiteral("Paste here"));
}

TINLARK_TEST_MAIN(tst_Picker)
#include "tst_Picker.moc"
