// The installed program as a user meets it: `cmake --install` into a prefix, its desktop
// entry and metainfo checked by the desktop's own validators, and the installed program
// started from a read-only copy of that prefix in a real X server. The first start asks
// whether to create the speech database in the user's data folder; the second start opens
// the database made then, without a question.

#include "ToolRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

// The display of this test's own X server.
constexpr int XDisplayNumber = 314;
const QString AppId = QStringLiteral("io.github.tinlark.Tinlark");

using ToolRun::tool;
using Result = ToolRun::Result;

// Makes every file and folder under path read-only, as a system's program folder is.
void makeReadOnly(const QString &path)
{
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList entries{path};
    while (it.hasNext())
        entries.append(it.next());
    for (const QString &entry : std::as_const(entries))
        ::chmod(QFile::encodeName(entry).constData(), QFileInfo(entry).isDir() || QFileInfo(entry).isExecutable() ? 0555 : 0444);
}

} // namespace

class tst_Install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void installedFilesPassTheDesktopValidators();
    void firstStartCreatesTheDatabaseInTheUsersDataFolder();

private:
    // The visible top-level windows of a process.
    QStringList visibleWindows(qint64 pid) const;
    QSize windowSize(const QString &window) const;

    QTemporaryDir m_dir;
    QString m_prefix;
    QProcess m_server;
    QProcessEnvironment m_environment;
};

void tst_Install::initTestCase()
{
    for (const char *name : {"Xvfb", "xdotool", "desktop-file-validate", "appstreamcli", "setpriv"})
        QVERIFY2(!tool(name).isEmpty(), name); // scripts/install-deps.sh installs them
    m_prefix = m_dir.filePath(QStringLiteral("prefix"));
    const Result install = ToolRun::run("cmake", {QStringLiteral("--install"), QStringLiteral(TINLARK_BUILD_DIR),
                                             QStringLiteral("--prefix"), m_prefix});
    QVERIFY2(install.exitCode == 0, install.output.constData());

    QVERIFY2(!QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(XDisplayNumber)), "display :314 is taken");
    m_server.start(tool("Xvfb"), {QStringLiteral(":%1").arg(XDisplayNumber), QStringLiteral("-screen"), QStringLiteral("0"),
                                  QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                  // No reset when the last client leaves, so that the next one
                                  // never arrives while the server starts over and is turned away.
                                  QStringLiteral("-noreset")});
    QVERIFY(m_server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(XDisplayNumber)), 10000);
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(XDisplayNumber));
}

void tst_Install::cleanupTestCase()
{
    m_server.terminate();
    m_server.waitForFinished(5000);
    // The read-only copy is made writable again so that the temporary folder can go.
    QDirIterator it(m_dir.path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        ::chmod(QFile::encodeName(it.next()).constData(), 0755);
}

void tst_Install::installedFilesPassTheDesktopValidators()
{
    const QString share = m_prefix + QStringLiteral("/share/");
    for (const QString &program : {QStringLiteral("tinlark"), QStringLiteral("tinlark-makedb")})
        QVERIFY2(QFileInfo(m_prefix + QStringLiteral("/bin/") + program).isExecutable(), qPrintable(program));
    QVERIFY(QFile::exists(share + QStringLiteral("icons/hicolor/scalable/apps/") + AppId + QStringLiteral(".svg")));

    const QString entry = share + QStringLiteral("applications/") + AppId + QStringLiteral(".desktop");
    const Result desktop = ToolRun::run("desktop-file-validate", {entry});
    QVERIFY2(desktop.exitCode == 0 && desktop.output.isEmpty(), desktop.output.constData());
    const Result appstream = ToolRun::run("appstreamcli", {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                      share + QStringLiteral("metainfo/") + AppId + QStringLiteral(".metainfo.xml")});
    QVERIFY2(appstream.exitCode == 0, appstream.output.constData());
}

QStringList tst_Install::visibleWindows(qint64 pid) const
{
    const Result search = ToolRun::run("xdotool", {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                                              QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                                              QStringLiteral("^The Tinlark$")},
                                  m_environment, 5000);
    return QString::fromLatin1(search.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QSize tst_Install::windowSize(const QString &window) const
{
    const QByteArray shell =
        ToolRun::run("xdotool", {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window}, m_environment).output;
    QSize size;
    for (const QByteArray &line : shell.split('\n')) {
        if (line.startsWith("WIDTH="))
            size.setWidth(line.mid(6).toInt());
        else if (line.startsWith("HEIGHT="))
            size.setHeight(line.mid(7).toInt());
    }
    return size;
}

void tst_Install::firstStartCreatesTheDatabaseInTheUsersDataFolder()
{
    // A read-only copy of the prefix stands for a system's program folder.
    const QString system = m_dir.filePath(QStringLiteral("system"));
    QVERIFY(ToolRun::run("cp", {QStringLiteral("-a"), m_prefix, system}).exitCode == 0);
    makeReadOnly(system);

    // The user's folders; an ordinary user must be able to reach and own them.
    const QString home = m_dir.filePath(QStringLiteral("home"));
    const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(home) && QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
    QVERIFY(ToolRun::giveToUser(home) && ToolRun::giveToUser(runtime));
    QProcessEnvironment environment = m_environment;
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const QString program = system + QStringLiteral("/bin/tinlark");
    const QString database = home + QStringLiteral("/data/tinlark/Speeches.csp");
    const QString settings = home + QStringLiteral("/config/tinlark/Tinlark.ini");

    const auto start = [&](QProcess &tinlark) { return ToolRun::startAsUser(tinlark, program, {}, environment); };
    const auto end = [](QProcess &tinlark) {
        // Told to end from outside, the program closes as the user would and stores its settings.
        tinlark.terminate();
        return tinlark.waitForFinished(20000) && tinlark.exitStatus() == QProcess::NormalExit && tinlark.exitCode() == 0;
    };

    {
        QProcess tinlark;
        QVERIFY(start(tinlark));
        QStringList windows;
        QTRY_VERIFY_WITH_TIMEOUT(!(windows = visibleWindows(tinlark.processId())).isEmpty(), 30000);
        QCOMPARE(windows.size(), 1);
        const QSize questionSize = windowSize(windows.first());
        QVERIFY2(questionSize != QSize(612, 410), "the main window came up instead of the question");
        QVERIFY(!QFile::exists(database));
        ToolRun::run("xdotool", {QStringLiteral("windowfocus"), QStringLiteral("--sync"), windows.first()}, m_environment);
        ToolRun::run("xdotool", {QStringLiteral("key"), QStringLiteral("Return")}, m_environment); // Create
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(database), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(windowSize(visibleWindows(tinlark.processId()).value(0)), QSize(612, 410), 30000);
        QVERIFY(end(tinlark));
    }
    QVERIFY2(QFile::exists(settings), "the settings were not stored in the user's config folder");
    QCOMPARE(QDir(system + QStringLiteral("/bin")).entryList(QDir::Files).size(), 2);

    {
        QProcess tinlark;
        QVERIFY(start(tinlark));
        QStringList windows;
        QTRY_VERIFY2_WITH_TIMEOUT(!(windows = visibleWindows(tinlark.processId())).isEmpty(),
                                  tinlark.readAllStandardError().constData(), 30000);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windowSize(windows.first()), QSize(612, 410));
        QVERIFY(end(tinlark));
        QVERIFY2(!tinlark.readAllStandardError().contains("not found"), "the database made at the first start was not found");
    }
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_Install.moc"
