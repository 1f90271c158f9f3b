#include "FileLocations.h"
#include "TestMain.h"

#include <QDir>
#include <QTemporaryDir>
#include <unistd.h>

// Where the settings file and the database lie: beside a program whose folder can be
// written, in the user's XDG folders for an installed one.
class tst_FileLocations : public QObject
{
    Q_OBJECT

private slots:
    void modeFollowsWhetherTheFolderCanBeWritten();
    void places_data();
    void places();
    void createsTheFoldersOfAnInstalledProgram();
    void readOnlyCopyKeepsItsLibraryAndSettingsOfItsOwn();
};

void tst_FileLocations::modeFollowsWhetherTheFolderCanBeWritten()
{
    QTemporaryDir dir;
    QTemporaryDir withLibrary;
    QVERIFY(QFile(withLibrary.filePath(QStringLiteral("Speeches.csp"))).open(QIODevice::WriteOnly));
    QCOMPARE(FileLocations::modeFor(dir.path()), FileLocations::Mode::Portable);
    QCOMPARE(FileLocations::modeFor(dir.filePath(QStringLiteral("missing"))), FileLocations::Mode::Installed);
    // Whoever runs it, also root, who may write there.
    if (QFileInfo(QStringLiteral(TINLARK_INSTALL_BINDIR)).isDir())
        QCOMPARE(FileLocations::modeFor(QStringLiteral(TINLARK_INSTALL_BINDIR)), FileLocations::Mode::Installed);
    if (::geteuid() == 0)
        QSKIP("root may write into any folder; the installed-program test runs a read-only copy as another user");
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    QCOMPARE(FileLocations::modeFor(dir.path()), FileLocations::Mode::Installed);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QFile::setPermissions(withLibrary.path(), QFile::ReadOwner | QFile::ExeOwner));
    QCOMPARE(FileLocations::modeFor(withLibrary.path()), FileLocations::Mode::ReadOnlyCopy);
    QFile::setPermissions(withLibrary.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_FileLocations::places_data()
{
    QTest::addColumn<bool>("portable");
    QTest::addColumn<QStringList>("environment"); // NAME=value
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("database"); // for Database=mine.csp

    const QStringList home{QStringLiteral("HOME=/home/ann")};
    QTest::newRow("portable ignores XDG")
        << true << QStringList{QStringLiteral("XDG_CONFIG_HOME=/c"), QStringLiteral("XDG_DATA_HOME=/d")}
        << QStringLiteral("/opt/tl/Tinlark.ini") << QStringLiteral("/opt/tl/mine.csp");
    QTest::newRow("installed, XDG set")
        << false << QStringList{QStringLiteral("XDG_CONFIG_HOME=/c"), QStringLiteral("XDG_DATA_HOME=/d/"), home.first()}
        << QStringLiteral("/c/tinlark/Tinlark.ini") << QStringLiteral("/d/tinlark/mine.csp");
    QTest::newRow("installed, XDG unset") << false << home << QStringLiteral("/home/ann/.config/tinlark/Tinlark.ini")
                                          << QStringLiteral("/home/ann/.local/share/tinlark/mine.csp");
    QTest::newRow("installed, relative XDG ignored")
        << false << QStringList{QStringLiteral("XDG_CONFIG_HOME=rel"), QStringLiteral("XDG_DATA_HOME=rel"), home.first()}
        << QStringLiteral("/home/ann/.config/tinlark/Tinlark.ini")
        << QStringLiteral("/home/ann/.local/share/tinlark/mine.csp");
}

void tst_FileLocations::places()
{
    QFETCH(bool, portable);
    QFETCH(QStringList, environment);
    QFETCH(QString, settings);
    QFETCH(QString, database);
    QProcessEnvironment env;
    for (const QString &entry : environment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    const FileLocations locations(QStringLiteral("/opt/tl"),
                                  portable ? FileLocations::Mode::Portable : FileLocations::Mode::Installed, env);
    QCOMPARE(locations.isPortable(), portable);
    QCOMPARE(locations.settingsPath(), settings);
    QCOMPARE(locations.databasePath(QStringLiteral("mine.csp")), database);
}

void tst_FileLocations::createsTheFoldersOfAnInstalledProgram()
{
    QTemporaryDir home;
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), home.path());
    const FileLocations locations(QStringLiteral("/usr/bin"), FileLocations::Mode::Installed, env);
    QVERIFY(locations.createFolders());
    // Every folder made is the user's alone; the home folder is left as it was.
    const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const QFile::Permissions homeBefore = QFileInfo(home.path()).permissions();
    for (const QString &made : {QStringLiteral("/.config"), QStringLiteral("/.config/tinlark"), QStringLiteral("/.local"),
                                QStringLiteral("/.local/share/tinlark")}) {
        const QFileInfo folder(home.path() + made);
        QVERIFY2(folder.isDir(), qPrintable(made));
        QCOMPARE(folder.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), own);
    }
    QCOMPARE(QFileInfo(home.path()).permissions(), homeBefore);
}

// A copy that cannot be written opens the library beside it, and keeps its settings where
// they can be written, starting from the ones beside it and never overwriting them later.
void tst_FileLocations::readOnlyCopyKeepsItsLibraryAndSettingsOfItsOwn()
{
    QTemporaryDir copy;
    QTemporaryDir otherCopy;
    QTemporaryDir config;
    const QByteArray beside("[Hacks]\nDatabase=team.csp\n");
    QFile besideFile(copy.filePath(QStringLiteral("Tinlark.ini")));
    QVERIFY(besideFile.open(QIODevice::WriteOnly) && besideFile.write(beside) == beside.size());
    besideFile.close();
    QProcessEnvironment env;
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/d"));
    const FileLocations locations(copy.path(), FileLocations::Mode::ReadOnlyCopy, env);
    QVERIFY(locations.isPortable()); // never offered a new library elsewhere
    QCOMPARE(locations.databasePath(QStringLiteral("team.csp")), copy.filePath(QStringLiteral("team.csp")));
    QVERIFY2(locations.settingsPath().startsWith(config.path() + QStringLiteral("/tinlark/")),
             qPrintable(locations.settingsPath()));
    QVERIFY(locations.settingsPath() != FileLocations(otherCopy.path(), FileLocations::Mode::ReadOnlyCopy, env).settingsPath());

    QVERIFY(locations.createFolders());
    QFile kept(locations.settingsPath());
    QVERIFY(kept.open(QIODevice::ReadWrite));
    QCOMPARE(kept.readAll(), beside);
    kept.write("[MainForm]\nRO=0\n");
    kept.close();
    QVERIFY(locations.createFolders());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), beside + "[MainForm]\nRO=0\n");
}

TINLARK_TEST_MAIN(tst_FileLocations)
#include "tst_FileLocations.moc"
