// The Debian package as a user of Debian meets it: made by CPack from this build, installed
// with apt-get, the tool asked for its version, the program started by its menu entry's
// command, then removed, leaving nothing of it on the machine. It installs into the system,
// so it runs only as root (as CI does) and leaves the machine as it found it: a package of
// this version installed before the test is installed again after it.

#include "TVersionInfo.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

const QString PackageName = QStringLiteral("tinlark");
const QString DesktopEntry = QStringLiteral("/usr/share/applications/io.github.tinlark.Tinlark.desktop");

QString trimmed(const QByteArray &output)
{
    return QString::fromUtf8(output).trimmed();
}

// The package's state, "install ok installed" and its version, or empty when dpkg does not know it.
QString installedState()
{
    const ToolRun::Result query = ToolRun::run("dpkg-query", {QStringLiteral("-W"), QStringLiteral("-f=${Status} ${Version}"), PackageName});
    return query.exitCode == 0 ? trimmed(query.output) : QString();
}

bool isInstalled()
{
    return installedState().startsWith(QLatin1String("install ok installed"));
}

ToolRun::Result apt(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DEBIAN_FRONTEND"), QStringLiteral("noninteractive"));
    // Waits for another apt or dpkg on the machine to finish instead of failing at once.
    return ToolRun::run("apt-get", QStringList{QStringLiteral("-y"), QStringLiteral("-q"), QStringLiteral("-o"),
                                               QStringLiteral("DPkg::Lock::Timeout=300")} +
                                       arguments,
                        environment, 600000);
}

// Every path the package holds, from its table of contents.
QStringList packagePaths(const QString &package)
{
    QStringList paths;
    for (const QByteArray &line : ToolRun::run("dpkg-deb", {QStringLiteral("--contents"), package}).output.split('\n')) {
        const qsizetype start = line.indexOf(" ./");
        if (start < 0)
            continue;
        QString path = QString::fromUtf8(line.mid(start + 2)).section(QStringLiteral(" -> "), 0, 0);
        if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
            path.chop(1);
        if (path != QLatin1String("/"))
            paths.append(path);
    }
    return paths;
}

// The command of the desktop entry's Exec line, without its arguments.
QString desktopCommand(const QString &entry)
{
    QFile file(entry);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5)).section(QLatin1Char(' '), 0, 0);
    }
    return QString();
}

// Whether a process has this file open.
bool hasOpen(qint64 pid, const QString &path)
{
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &descriptor : descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (descriptor.symLinkTarget() == QFileInfo(path).canonicalFilePath())
            return true;
    }
    return false;
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
    for (const char *name : {"dpkg", "dpkg-query", "dpkg-deb", "apt-get"}) {
        if (ToolRun::tool(name).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is missing: not a Debian system").arg(QLatin1String(name))));
    }
    for (const char *name : {"dpkg-shlibdeps", "file", "setpriv"})
        QVERIFY2(!ToolRun::tool(name).isEmpty(), name); // scripts/install-deps.sh installs them
    const QString state = installedState();
    m_wasInstalled = state.startsWith(QLatin1String("install ok installed"));
    if (m_wasInstalled && !state.endsWith(QLatin1String(" " TINLARK_VERSION)))
        QSKIP(qPrintable(QStringLiteral("tinlark is installed in another version (%1); the test would replace it").arg(state)));

    // apt fetches a package file as its own user, who must be able to read it.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const ToolRun::Result made = ToolRun::run(QStringLiteral(TINLARK_CPACK), {QStringLiteral("-G"), QStringLiteral("DEB"),
                                                                               QStringLiteral("--config"), QStringLiteral(TINLARK_BUILD_DIR "/CPackConfig.cmake"),
                                                                               QStringLiteral("-B"), m_dir.path()},
                                              {}, 600000);
    QVERIFY2(made.exitCode == 0, made.output.constData());
    const QString architecture = trimmed(ToolRun::run("dpkg", {QStringLiteral("--print-architecture")}).output);
    m_package = m_dir.filePath(QStringLiteral("tinlark_" TINLARK_VERSION "_%1.deb").arg(architecture));
    QVERIFY2(QFile::exists(m_package), made.output.constData());
}

void tst_Package::cleanupTestCase()
{
    // Whatever happened, the machine is left as it was found.
    if (m_package.isEmpty())
        return;
    if (m_wasInstalled && !isInstalled())
        apt({QStringLiteral("install"), m_package});
    else if (!m_wasInstalled && isInstalled())
        apt({QStringLiteral("purge"), PackageName});
}

void tst_Package::installStartAndRemoveLeaveNothing()
{
    if (m_wasInstalled) {
        const ToolRun::Result purged = apt({QStringLiteral("purge"), PackageName});
        QVERIFY2(purged.exitCode == 0, purged.output.constData());
    }
    // What the package holds, and which of it is on the machine before it is installed.
    const QStringList paths = packagePaths(m_package);
    QVERIFY(paths.contains(QStringLiteral("/usr/bin/tinlark")));
    QStringList existedBefore;
    for (const QString &path : std::as_const(paths)) {
        if (QFileInfo::exists(path))
            existedBefore.append(path);
    }

    // apt-get takes a package file when its name is a path.
    const ToolRun::Result installed = apt({QStringLiteral("install"), QStringLiteral("--no-install-recommends"), m_package});
    QVERIFY2(installed.exitCode == 0 && isInstalled(), installed.output.constData());
    for (const QString &path : std::as_const(paths))
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));

    // The tool and the program from the menu, as an ordinary user in an empty home. The
    // program, stripped, still carries its version record for the About window.
    const ToolRun::Result version = ToolRun::run("/usr/bin/tinlark-makedb", {QStringLiteral("--version")});
    QCOMPARE(trimmed(version.output), QStringLiteral("tinlark-makedb " TINLARK_VERSION));
    QCOMPARE(TVersionInfo(QStringLiteral("/usr/bin/tinlark")).GetFileVersion(), QStringLiteral(TINLARK_VERSION));
    const QString home = m_dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home + QStringLiteral("/data/tinlark")) && QDir().mkpath(home + QStringLiteral("/runtime")));
    QFile::setPermissions(home + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(ToolRun::giveToUser(home));
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString database = home + QStringLiteral("/data/tinlark/Speeches.csp");
    {
        QProcess makeDb;
        QVERIFY(ToolRun::startAsUser(makeDb, QStringLiteral("/usr/bin/tinlark-makedb"), {database}, environment));
        QVERIFY(makeDb.waitForFinished(60000));
        QVERIFY2(makeDb.exitCode() == 0, makeDb.readAllStandardError().constData());
    }

    QCOMPARE(ToolRun::tool(desktopCommand(DesktopEntry).toLatin1().constData()), QStringLiteral("/usr/bin/tinlark"));
    {
        QProcess tinlark;
        QVERIFY(ToolRun::startAsUser(tinlark, QStringLiteral("/usr/bin/tinlark"), {}, environment));
        // The window is up once the program has opened the speeches.
        QTRY_VERIFY2_WITH_TIMEOUT(hasOpen(tinlark.processId(), database), tinlark.readAllStandardError().constData(), 30000);
        tinlark.terminate();
        QVERIFY(tinlark.waitForFinished(20000));
        QVERIFY2(tinlark.exitStatus() == QProcess::NormalExit && tinlark.exitCode() == 0, tinlark.readAllStandardError().constData());
    }
    // An installed program keeps its settings in the user's folder, never beside itself.
    QVERIFY(QFile::exists(home + QStringLiteral("/config/tinlark/Tinlark.ini")));
    QVERIFY(!QFile::exists(QStringLiteral("/usr/bin/Tinlark.ini")));

    const ToolRun::Result removed = apt({QStringLiteral("purge"), PackageName});
    QVERIFY2(removed.exitCode == 0, removed.output.constData());
    QVERIFY2(installedState().isEmpty() || installedState().startsWith(QLatin1String("unknown")), qPrintable(installedState()));
    for (const QString &path : std::as_const(paths)) {
        if (!existedBefore.contains(path))
            QVERIFY2(!QFileInfo::exists(path), qPrintable(path + QStringLiteral(" is left after the removal")));
    }
}

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_Package.moc"
