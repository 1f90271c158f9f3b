// The Debian package as a user of Debian meets it: made by CPack from this build, installed
// with apt-get, the tool asked for its version, the program started by its menu entry's
// command, then removed, leaving nothing of it on the machine. It installs into the system,
// so it runs only as root (as CI does) and leaves the machine as it found it: a package of
// this version installed before the test is installed again after it.

#include "TVersionInfo.h"
#include "ToolRun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

const QString Installed = QStringLiteral("install ok installed " TINLARK_VERSION);

// "install ok installed" and the version, or empty when dpkg does not know the package.
QString packageState()
{
    const ToolRun::Result query = ToolRun::run("dpkg-query", {"-W", "-f=${Status} ${Version}", "tinlark"});
    return query.exitCode == 0 ? QString::fromUtf8(query.output) : QString();
}

ToolRun::Result apt(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DEBIAN_FRONTEND", "noninteractive");
    // Waits for another apt or dpkg on the machine to finish instead of failing at once.
    return ToolRun::run("apt-get", QStringList{"-y", "-q", "-o", "DPkg::Lock::Timeout=300"} + arguments, environment, 600000);
}

// Every path the package holds, from its table of contents ("drwxr-xr-x root/root 0 ... ./usr/bin/").
QStringList packagePaths(const QString &package)
{
    QStringList paths;
    for (const QByteArray &line : ToolRun::run("dpkg-deb", {"--contents", package}).output.split('\n')) {
        const QString path = QString::fromUtf8(line.mid(line.indexOf(" ./") + 2));
        if (line.contains(" ./") && path != "/")
            paths.append(path.endsWith('/') ? path.chopped(1) : path);
    }
    return paths;
}

// The command of the desktop entry's Exec line, without its arguments.
QString desktopCommand()
{
    QFile entry("/usr/share/applications/io.github.tinlark.Tinlark.desktop");
    const QList<QByteArray> lines = entry.open(QIODevice::ReadOnly) ? entry.readAll().split('\n') : QList<QByteArray>();
    const auto exec = std::find_if(lines.cbegin(), lines.cend(), [](const QByteArray &line) { return line.startsWith("Exec="); });
    return exec == lines.cend() ? QString() : QString::fromUtf8(exec->mid(5)).section(' ', 0, 0);
}

// Whether a process has this file open.
bool hasOpen(qint64 pid, const QString &path)
{
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    const QFileInfoList open = descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(open.cbegin(), open.cend(), [&](const QFileInfo &descriptor) { return descriptor.symLinkTarget() == QFileInfo(path).canonicalFilePath(); });
}

} // namespace

class tst_Package : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void installStartAndRemoveLeaveNothing();

private:
    QTemporaryDir m_dir;
    QString m_package;
    bool m_wasInstalled = false;
};

void tst_Package::initTestCase()
{
#ifdef TINLARK_SANITIZED
    QSKIP("the package is made from a plain build; this one carries the sanitizers");
#endif
    if (::geteuid() != 0)
        QSKIP("installing a package needs root");
    for (const char *name : {"dpkg-query", "dpkg-deb", "apt-get"}) {
        if (ToolRun::tool(name).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is missing: not a Debian system").arg(name)));
    }
    for (const char *name : {"dpkg-shlibdeps", "file", "setpriv"})
        QVERIFY2(!ToolRun::tool(name).isEmpty(), name); // scripts/install-deps.sh installs them
    const QString state = packageState();
    m_wasInstalled = state == Installed;
    if (state.startsWith("install ok installed") && !m_wasInstalled)
        QSKIP(qPrintable("tinlark is installed in another version, which the test would replace: " + state));

    // apt reads a package file as its own user.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const ToolRun::Result made = ToolRun::run(TINLARK_CPACK, {"-G", "DEB", "--config", TINLARK_BUILD_DIR "/CPackConfig.cmake", "-B", m_dir.path()});
    const QString architecture = QString::fromUtf8(ToolRun::run("dpkg", {"--print-architecture"}).output).trimmed();
    m_package = m_dir.filePath("tinlark_" TINLARK_VERSION "_" + architecture + ".deb");
    QVERIFY2(made.exitCode == 0 && QFile::exists(m_package), made.output.constData());
}

void tst_Package::cleanupTestCase()
{
    // Whatever happened, the machine is left as it was found.
    if (!m_package.isEmpty() && m_wasInstalled != (packageState() == Installed))
        apt(m_wasInstalled ? QStringList{"install", m_package} : QStringList{"purge", "tinlark"});
}

void tst_Package::installStartAndRemoveLeaveNothing()
{
    if (m_wasInstalled)
        QVERIFY(apt({"purge", "tinlark"}).exitCode == 0);
    const QStringList paths = packagePaths(m_package);
    QVERIFY(paths.contains("/usr/bin/tinlark") && paths.contains("/usr/share/man/man1/tinlark-makedb.1.gz"));
    QStringList existedBefore;
    std::copy_if(paths.cbegin(), paths.cend(), std::back_inserter(existedBefore), [](const QString &path) { return QFileInfo::exists(path); });

    // apt-get takes a package file when its name is a path.
    const ToolRun::Result installed = apt({"install", "--no-install-recommends", m_package});
    QVERIFY2(installed.exitCode == 0 && packageState() == Installed, installed.output.constData());
    for (const QString &path : std::as_const(paths))
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    for (const char *program : {"/usr/bin/tinlark", "/usr/bin/tinlark-makedb"}) // no library search path of its own
        QVERIFY2(!ToolRun::run("readelf", {"-d", program}).output.contains("PATH"), program);

    // The tool, and the program from the menu as an ordinary user in an empty home. The
    // program, stripped, still carries its version record for the About window.
    QCOMPARE(ToolRun::run("/usr/bin/tinlark-makedb", {"--version"}).output, QByteArray("tinlark-makedb " TINLARK_VERSION "\n"));
    QCOMPARE(TVersionInfo("/usr/bin/tinlark").GetFileVersion(), QStringLiteral(TINLARK_VERSION));
    QCOMPARE(ToolRun::tool(desktopCommand().toLatin1().constData()), QStringLiteral("/usr/bin/tinlark"));
    const QString home = m_dir.filePath("home");
    QVERIFY(QDir().mkpath(home + "/data/tinlark") && QDir().mkpath(home + "/runtime"));
    QFile::setPermissions(home + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(ToolRun::giveToUser(home));
    QProcessEnvironment environment;
    for (const auto &[name, value] : {std::pair{"PATH", QStringLiteral("/usr/bin:/bin")}, {"HOME", home}, {"XDG_CONFIG_HOME", home + "/config"},
                                      {"XDG_DATA_HOME", home + "/data"}, {"XDG_RUNTIME_DIR", home + "/runtime"}, {"QT_QPA_PLATFORM", "offscreen"}})
        environment.insert(name, value);
    const QString database = home + "/data/tinlark/Speeches.csp";
    QProcess makeDb;
    QVERIFY(ToolRun::startAsUser(makeDb, "/usr/bin/tinlark-makedb", {database}, environment));
    QVERIFY(makeDb.waitForFinished(60000) && makeDb.exitCode() == 0);
    QProcess tinlark;
    QVERIFY(ToolRun::startAsUser(tinlark, "/usr/bin/tinlark", {}, environment));
    // The window is up once the program has opened the speeches.
    QTRY_VERIFY2_WITH_TIMEOUT(hasOpen(tinlark.processId(), database), tinlark.readAllStandardError().constData(), 30000);
    tinlark.terminate();
    QVERIFY(tinlark.waitForFinished(20000));
    QVERIFY2(tinlark.exitStatus() == QProcess::NormalExit && tinlark.exitCode() == 0, tinlark.readAllStandardError().constData());
    // An installed program keeps its settings in the user's folder, never beside itself.
    QVERIFY(QFile::exists(home + "/config/tinlark/Tinlark.ini") && !QFile::exists("/usr/bin/Tinlark.ini"));

    const ToolRun::Result removed = apt({"purge", "tinlark"});
    QVERIFY2(removed.exitCode == 0 && !packageState().startsWith("install"), removed.output.constData());
    for (const QString &path : std::as_const(paths))
        QVERIFY2(existedBefore.contains(path) || !QFileInfo::exists(path), qPrintable(path + " is left after the removal"));
}

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_Package.moc"
