#include "ExceptionRecorder.h"
#include "Field.h"
#include "IniFile.h"
#include "Lmutils.h"
#include "PortableProgram.h"
#include "Mainfrm.h"
#include "SmallFileSystem.h"
#include "SpeechRecovery.h"
#include "TestDatabase.h"
#include "TestFolder.h"
#include "TestMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <memory>
#include <optional>
#include <sqlite3.h>

namespace {

// One value read from a database file with nothing of the program in between.
QString queryValue(const QString &databasePath, const char *sql)
{
    sqlite3 *db = nullptr;
    QString value;
    if (sqlite3_open_v2(databasePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(db);
    return value;
}

// Whether the process has a handler of its own for the signal (the kernel's SigCgt mask).
bool catchesSignal(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
    }
    return false;
}

const QStringList SettingKeys = {QStringLiteral("L"),  QStringLiteral("T"),     QStringLiteral("W"), QStringLiteral("H"),
                                 QStringLiteral("CH"), QStringLiteral("Index"), QStringLiteral("RO")};

void verifySettingsWritten(const QString &settingsPath)
{
    const IniFile settings(settingsPath);
    for (const QString &key : SettingKeys)
        QVERIFY2(!settings.readString(QStringLiteral("MainForm"), key, QString()).isEmpty(), qPrintable(key));
}

} // namespace

// A request to end the program from outside closes it as the user would: the speech being
// edited is stored, the settings are written and the database is left whole.
class tst_Terminate : public QObject
{
    Q_OBJECT

private slots:
    void speechBeingEditedIsStored()
    {
        const ExceptionRecorder recorder;
        const TestFolder folder;
        {
            TestDatabase database(folder.databasePath());
            database.addSpeech(database.addLanguage(QStringLiteral("English")), QStringLiteral("greeting"),
                               QStringLiteral("Hello"));
        }
        LmutilsStartup();
        auto form = std::make_unique<TForm1>();
        form->show();
        auto *readOnly = form->findChild<QAction *>(QStringLiteral("actSetReadOnly"));
        QVERIFY(readOnly);
        if (readOnly->isChecked())
            readOnly->trigger();
        form->tblSpeech.edit();
        form->tblSpeechKeywords->setAsString(QStringLiteral("farewell"));

        TApplication::instance()->hiddenWindow()->postMessage(TerminateRequest, 0, 0);
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        watchdog.start(20000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!form->isVisible());
        form.reset();
        LmutilsExit();

        QCOMPARE(recorder.messages(), QStringList());
        QCOMPARE(queryValue(folder.databasePath(), "SELECT Keywords FROM Speeches"), QStringLiteral("farewell"));
        verifySettingsWritten(folder.settingsPath());
    }

    void refusedSpeechIsKeptAndNamedAtNextStart_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("disk full") << true;
        QTest::newRow("locked by another program") << false;
    }

    // The database refuses the speech being edited when the request comes: nobody is asked
    // anything, the program ends, and the text waits in a file that the next start names.
    void refusedSpeechIsKeptAndNamedAtNextStart()
    {
        QFETCH(bool, fullDisk);
        const ExceptionRecorder recorder;
        const TestFolder folder;
        const QString disk = folder.filePath(QStringLiteral("disk"));
        std::optional<SmallFileSystem> fileSystem;
        if (fullDisk) {
            fileSystem.emplace(disk, 1 << 20);
            if (!fileSystem->available())
                QSKIP(qPrintable(fileSystem->skipReason()));
        } else {
            QVERIFY(QDir().mkpath(disk));
        }
        const QString databasePath = disk + QStringLiteral("/Speeches.csp");
        {
            TestDatabase database(databasePath);
            database.addSpeech(database.addLanguage(QStringLiteral("English")), QStringLiteral("greeting"),
                               QStringLiteral("Hello"));
        }
        folder.writeSettings("[Hacks]\nDatabase=disk/Speeches.csp\n[MainForm]\nRO=1\n");
        LmutilsStartup();
        auto form = std::make_unique<TForm1>();
        form->show();
        // The day's backup is made before the disk fills, so that it frees no room when it fails.
        QTRY_COMPARE(QDir(disk + QStringLiteral("/backups")).entryList(QDir::Files).size(), 1);
        form->tblSpeech.edit();
        const QString text = QString(100000, QLatin1Char('w')) + QStringLiteral(" the end");
        form->tblSpeechTekst->setAsString(text);
        sqlite3 *otherProgram = nullptr;
        if (fullDisk) {
            QVERIFY(fileSystem->fill());
        } else {
            QCOMPARE(sqlite3_open_v2(databasePath.toUtf8().constData(), &otherProgram, SQLITE_OPEN_READWRITE, nullptr),
                     SQLITE_OK);
            QCOMPARE(sqlite3_exec(otherProgram, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        }

        TApplication::instance()->hiddenWindow()->postMessage(TerminateRequest, 0, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 20000);
        form.reset();
        LmutilsExit();
        sqlite3_close_v2(otherProgram);
        QCOMPARE(recorder.messages(), QStringList()); // nothing waited for a person

        const QStringList kept = SpeechRecovery::find(databasePath, folder.path());
        QCOMPARE(kept.size(), 1);
        // A full disk takes nothing more: the text goes beside the settings instead.
        QCOMPARE(QFileInfo(kept[0]).absolutePath(), QFileInfo(fullDisk ? folder.settingsPath() : databasePath).absolutePath());
        QFile file(kept[0]);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(file.readAll());
        QVERIFY(content.contains(text));
        QVERIFY(content.contains(QStringLiteral("greeting")));
        QCOMPARE(queryValue(databasePath, "SELECT Tekst FROM Speeches"), QStringLiteral("Hello"));

        if (fullDisk)
            fileSystem->freeFiller();
        {
            const TForm1 next;
            QCOMPARE(recorder.messages().size(), 1);
            QVERIFY2(recorder.messages()[0].contains(kept[0]), qPrintable(recorder.messages()[0]));
        }
    }

    void helpAndVersionAnswerWithoutADisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("begins");
        QTest::newRow("--help") << QStringLiteral("--help") << QStringLiteral("usage: tinlark [--pick]");
        QTest::newRow("--version") << QStringLiteral("--version") << QStringLiteral("tinlark " TINLARK_VERSION "\n");
    }

    // Answered on standard output as a command-line program answers, where no window can open.
    void helpAndVersionAnswerWithoutADisplay()
    {
        QFETCH(QString, option);
        QFETCH(QString, begins);
        QTemporaryDir folder;
        QProcess process;
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")); // and no DISPLAY
        process.setProcessEnvironment(environment);
        process.start(copyPortableProgram(folder.path()), {option});
        QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY2(QString::fromUtf8(process.readAllStandardOutput()).startsWith(begins), process.readAllStandardError());
    }

    void programEndsNormallyOnSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("withDatabase");
        QTest::newRow("SIGTERM") << SIGTERM << true;
        QTest::newRow("SIGINT") << SIGINT << true;
        QTest::newRow("SIGHUP") << SIGHUP << true;
        // The request then comes while the start-up failure is shown, before the main loop runs.
        QTest::newRow("SIGTERM without a database") << SIGTERM << false;
    }

    // The real program, in a folder of its own with a sample database beside it.
    void programEndsNormallyOnSignal()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, withDatabase);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString program = copyPortableProgram(folder.path());
        const QString databasePath = folder.filePath(QStringLiteral("Speeches.csp"));
        QVERIFY(!program.isEmpty());
        QCOMPARE(QProcess::execute(QStringLiteral(TINLARK_MAKEDB_EXE),
                                   {QStringLiteral("--sample"), QStringLiteral("60"), QStringLiteral("--languages"),
                                    QStringLiteral("3"), databasePath}),
                 0);
        const QString rowsBefore = queryValue(databasePath, "SELECT COUNT(*) FROM Speeches");
        QCOMPARE(rowsBefore, QStringLiteral("60"));
        if (!withDatabase)
            QVERIFY(QFile::remove(databasePath));

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
        QVERIFY(process.waitForStarted());
        // It is up once it has its own handler for the signal; what arrives from then on
        // waits for its message loop.
        QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(process.processId(), signalNumber), 30000);
        QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);

        verifySettingsWritten(folder.filePath(QStringLiteral("Tinlark.ini")));
        if (!withDatabase)
            return;
        QCOMPARE(queryValue(databasePath, "PRAGMA integrity_check"), QStringLiteral("ok"));
        QCOMPARE(queryValue(databasePath, "SELECT COUNT(*) FROM Speeches"), rowsBefore);
    }
};

TINLARK_TEST_MAIN(tst_Terminate)
#include "tst_Terminate.moc"
