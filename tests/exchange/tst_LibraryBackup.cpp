#include "Connection.h"
#include "DatabaseTexts.h"
#include "EDatabaseError.h"
#include "IniFile.h"
#include "LibraryBackup.h"
#include "SmallFileSystem.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(13, 45, 1));

void layFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int modeOf(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

// The rows of a table in one file and not in the other, either way, compared by SQLite byte for byte.
int differingRows(const QString &path, const QString &backupPath, const QString &table)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray sql = QStringLiteral("ATTACH '%1' AS copy; SELECT count(*) FROM (SELECT * FROM (SELECT * FROM main.%2 "
                                          "EXCEPT SELECT * FROM copy.%2) UNION ALL SELECT * FROM (SELECT * FROM copy.%2 "
                                          "EXCEPT SELECT * FROM main.%2))")
                               .arg(backupPath, table)
                               .toUtf8();
    int differing = -1;
    sqlite3_exec(
        db, sql.constData(),
        [](void *out, int, char **values, char **) {
            *static_cast<int *>(out) = atoi(values[0]);
            return 0;
        },
        &differing, nullptr);
    sqlite3_close(db);
    return differing;
}

} // namespace

class tst_LibraryBackup : public QObject
{
    Q_OBJECT

private slots:
    void backupIsWholePrivateAndOncePerDay();
    void rotationKeepsTheNewestOfEachPeriod_data();
    void rotationKeepsTheNewestOfEachPeriod();
    void failedBackupKeepsTheOldOnes_data();
    void failedBackupKeepsTheOldOnes();
    void symbolicLinksAreNotFollowed_data();
    void symbolicLinksAreNotFollowed();
};

// A backup holds every row as it was, byte for byte, and opens as a library; it is the owner's
// alone; a second start of the day makes none, and a backup asked for later that day gets a
// name of its own.
void tst_LibraryBackup::backupIsWholePrivateAndOncePerDay()
{
    QTemporaryDir dir;
    const QString databasePath = dir.filePath(QStringLiteral("Speeches.csp"));
    TestDatabase db(databasePath);
    const int language = db.addLanguage(QStringLiteral("Ελληνικά"));
    db.addSpeech(language, QStringLiteral("\"quoted\", comma"), QStringLiteral("line\r\nend\rלשון 中文 ✓"), QString());
    db.addSpeech(language, QStringLiteral("long"), QString(200000, QChar(u'ж')), QStringLiteral("comment"));
    db.execute(QStringLiteral("DELETE FROM Speeches WHERE ID = 1")); // numbering goes on after a deleted ID

    const QString made = LibraryBackup::makeDaily(databasePath, {}, Now);
    const QString folder = dir.filePath(QStringLiteral("backups"));
    QCOMPARE(made, folder + QStringLiteral("/Speeches-2026-12-08.csp"));
    for (const QString table : {"Taal", "Speeches", "sqlite_sequence"})
        QCOMPARE(differingRows(databasePath, made, table), 0);
    QCOMPARE(modeOf(folder), 0700);
    QCOMPARE(modeOf(made), 0600);

    QCOMPARE(LibraryBackup::makeDaily(databasePath, {}, Now.addSecs(3600)), QString());
    QCOMPARE(LibraryBackup::make(databasePath, folder, Now.addSecs(60)), folder + QStringLiteral("/Speeches-2026-12-08T134601.csp"));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{"Speeches-2026-12-08.csp", "Speeches-2026-12-08T134601.csp"}));

    // The program opens it as a library of its own.
    Connection backup;
    backup.setConnectionString(DatabaseTexts::connectionString(made));
    QCOMPARE(backup.scalar(QStringLiteral("SELECT Keywords FROM Speeches WHERE ID = 2")).toString(), QStringLiteral("long"));
}

void tst_LibraryBackup::rotationKeepsTheNewestOfEachPeriod_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("stamps");
    QTest::addColumn<QStringList>("kept");

    // One backup a day from 30 October to Tuesday 8 December 2026.
    QStringList daily;
    for (QDate day(2026, 10, 30); day <= QDate(2026, 12, 8); day = day.addDays(1))
        daily.append(day.toString(QStringLiteral("yyyy-MM-dd")));
    QTest::newRow("defaults for counts missing or bad, forty days") << QByteArray("[Backups]\nDaily=-1\nWeekly=many\n") << daily
                                          << QStringList{"2026-10-31", "2026-11-22", "2026-11-29", "2026-11-30",
                                                         "2026-12-02", "2026-12-03", "2026-12-04", "2026-12-05",
                                                         "2026-12-06", "2026-12-07", "2026-12-08"};
    QTest::newRow("days with no backup do not count")
        << QByteArray("[Backups]\nDaily=3\nWeekly=0\nMonthly=0\n")
        << QStringList{"2025-12-01", "2026-03-01", "2026-06-01", "2026-06-02"}
        << QStringList{"2026-03-01", "2026-06-01", "2026-06-02"};
    QTest::newRow("the later backup of a day counts")
        << QByteArray("[Backups]\nDaily=2\nWeekly=0\nMonthly=0\n")
        << QStringList{"2026-12-06", "2026-12-07", "2026-12-08", "2026-12-08T120000"}
        << QStringList{"2026-12-07", "2026-12-08T120000"};
    QTest::newRow("weeks run Monday to Sunday")
        << QByteArray("[Backups]\nDaily=0\nWeekly=2\nMonthly=0\n")
        << QStringList{"2026-11-28", "2026-11-29", "2026-11-30", "2026-12-01"}
        << QStringList{"2026-11-29", "2026-12-01"};
    QTest::newRow("months across a year end")
        << QByteArray("[Backups]\nDaily=0\nWeekly=0\nMonthly=2\n")
        << QStringList{"2025-11-30", "2025-12-01", "2025-12-31", "2026-01-02"}
        << QStringList{"2025-12-31", "2026-01-02"};
    QTest::newRow("nothing kept keeps the newest") << QByteArray("[Backups]\nDaily=0\nWeekly=0\nMonthly=0\n")
                                                   << QStringList{"2026-12-07", "2026-12-08"} << QStringList{"2026-12-08"};
}

// Only the backups of this database are rotated; other files beside them stay.
void tst_LibraryBackup::rotationKeepsTheNewestOfEachPeriod()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, stamps);
    QFETCH(QStringList, kept);
    QTemporaryDir dir;
    layFile(dir.filePath(QStringLiteral("Tinlark.ini")), settings);
    const QStringList others{"Other-2020-01-01.csp", "Speeches-2020-01-01.csp.bak", "Speeches-2020-13-45.csp",
                             "Speeches-old.csp", "Speeches-2020-01-01T1.csp"};
    for (const QString &name : others)
        layFile(dir.filePath(name), "other");
    QVERIFY(QFile::link(dir.filePath(others[0]), dir.filePath(QStringLiteral("Speeches-2019-01-01.csp"))));
    for (const QString &stamp : stamps)
        layFile(dir.filePath(QStringLiteral("Speeches-%1.csp").arg(stamp)), stamp.toLatin1());

    const BackupRotation rotation = BackupRotation::read(IniFile(dir.filePath(QStringLiteral("Tinlark.ini"))));
    LibraryBackup::rotate(dir.filePath(QStringLiteral("Speeches.csp")), dir.path(), rotation);
    QStringList expected = others + QStringList{"Speeches-2019-01-01.csp", "Tinlark.ini"};
    for (const QString &stamp : kept)
        expected.append(QStringLiteral("Speeches-%1.csp").arg(stamp));
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);
}

void tst_LibraryBackup::failedBackupKeepsTheOldOnes_data()
{
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << QStringLiteral("database or disk is full");
    QTest::newRow("read-only folder") << QStringLiteral("Read-only file system");
    QTest::newRow("damaged library") << QStringLiteral("the copy is damaged");
}

// A failure says why and leaves the earlier backups, and nothing else, in the folder; a damaged
// library never takes a good backup's place.
void tst_LibraryBackup::failedBackupKeepsTheOldOnes()
{
    QFETCH(QString, reason);
    const QByteArray row = QTest::currentDataTag();
    QTemporaryDir dir;
    const QString databasePath = dir.filePath(QStringLiteral("Speeches.csp"));
    {
        TestDatabase db(databasePath);
        const int language = db.addLanguage(QStringLiteral("English"));
        for (int i = 0; i < 40; ++i)
            db.addSpeech(language, QString::number(i), QString(50000, QChar(u'a' + i % 26)));
    }
    const QString folder = dir.filePath(QStringLiteral("backups"));
    // The database is twice the size of the file system: the copy fills it.
    std::optional<SmallFileSystem> disk;
    if (row != "damaged library") {
        disk.emplace(folder, 1 << 20);
        if (!disk->available())
            QSKIP(qPrintable(disk->skipReason()));
    } else {
        // The middle of the file overwritten, as a failing disk does: the pages link to pages that are not there.
        QVERIFY(QDir().mkpath(folder));
        QFile file(databasePath);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 3));
        QVERIFY(file.write(QByteArray(int(file.size() / 3), '\xff')) > 0);
    }
    const QStringList old{"Speeches-2026-12-06.csp", "Speeches-2026-12-07.csp"};
    for (const QString &name : old)
        layFile(QDir(folder).filePath(name), name.toLatin1());
    if (row == "read-only folder")
        QVERIFY(disk->makeReadOnly());

    try {
        LibraryBackup::makeDaily(databasePath, {}, Now);
        QFAIL("the backup was made");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(databasePath) && error.message().contains(reason), qPrintable(error.message()));
    }
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), old);
    for (const QString &name : old)
        QCOMPARE(contentOf(QDir(folder).filePath(name)), name.toLatin1());
}

void tst_LibraryBackup::symbolicLinksAreNotFollowed_data()
{
    QTest::addColumn<QString>("linkName"); // in the database's folder
    QTest::addColumn<QString>("made");     // the backup's name; empty when refused
    QTest::newRow("at the day's name") << QStringLiteral("backups/Speeches-2026-12-08.csp")
                                       << QStringLiteral("Speeches-2026-12-08T134501.csp");
    QTest::newRow("as the folder") << QStringLiteral("backups") << QString();
}

// What a link points to is never written, whether it exists or not.
void tst_LibraryBackup::symbolicLinksAreNotFollowed()
{
    QFETCH(QString, linkName);
    QFETCH(QString, made);
    QTemporaryDir dir;
    const QString databasePath = dir.filePath(QStringLiteral("Speeches.csp"));
    TestDatabase db(databasePath);
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("elsewhere"))));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("backups"))));
    QDir().rmdir(dir.filePath(linkName));
    const QString victim = dir.filePath(QStringLiteral("elsewhere/victim"));
    layFile(victim, "the user's");
    QVERIFY(QFile::link(QFileInfo(linkName).fileName() == QLatin1String("backups") ? dir.filePath(QStringLiteral("elsewhere")) : victim,
                        dir.filePath(linkName)));

    QString path;
    try {
        path = LibraryBackup::make(databasePath, LibraryBackup::folderFor(databasePath), Now);
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("not a folder")), qPrintable(error.message()));
    }
    QCOMPARE(QFileInfo(path).fileName(), made);
    QVERIFY(QFileInfo(dir.filePath(linkName)).isSymLink());
    QCOMPARE(contentOf(victim), QByteArray("the user's"));
    QCOMPARE(QDir(dir.filePath(QStringLiteral("elsewhere"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"victim"});
}

QTEST_GUILESS_MAIN(tst_LibraryBackup)
#include "tst_LibraryBackup.moc"
