#include "Connection.h"
#include "DatabaseTexts.h"
#include "EDatabaseError.h"
#include "IniFile.h"
#include "LibraryBackup.h"
#include "SmallFileSystem.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(13, 45, 1));

void layFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
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

// What the backup that fails says; empty when it is made.
QString failureOf(const std::function<void()> &backup)
{
    try {
        backup();
    } catch (const EDatabaseError &error) {
        return error.message();
    }
    return QString();
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class tst_LibraryBackup : public QObject
{
    Q_OBJECT

private slots:
    void backupIsWholePrivateAndOncePerDay();
    void everyReportedBackupOutlivesRotation();
    void rotationKeepsTheNewestOfEachPeriod_data();
    void rotationKeepsTheNewestOfEachPeriod();
    void failedBackupKeepsTheOldOnes_data();
    void failedBackupKeepsTheOldOnes();
    void symbolicLinksAreNotFollowed_data();
    void symbolicLinksAreNotFollowed();
};

// A backup holds every row as it was, byte for byte, and opens as a library; it is the owner's
// alone; a second start of the day makes none, and one asked for later that day gets a name of its own.
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
    QCOMPARE(modeOf(folder), 0700);
    QCOMPARE(modeOf(made), 0600);
    Connection backup;
    backup.setConnectionString(DatabaseTexts::connectionString(made));
    backup.scalar(QStringLiteral("ATTACH ? AS source"), {databasePath});
    const QString differing = QStringLiteral("SELECT count(*) FROM (SELECT * FROM (SELECT * FROM %1 EXCEPT SELECT * FROM source.%1) "
                                             "UNION ALL SELECT * FROM (SELECT * FROM source.%1 EXCEPT SELECT * FROM %1))");
    for (const QString table : {"Taal", "Speeches", "sqlite_sequence"})
        QCOMPARE(backup.scalar(differing.arg(table)).toInt(), 0);

    QCOMPARE(LibraryBackup::makeDaily(databasePath, {}, Now.addSecs(3600)), QString());
    QCOMPARE(LibraryBackup::make(databasePath, folder, Now.addSecs(60)), folder + QStringLiteral("/Speeches-2026-12-08T134601.csp"));
    QCOMPARE(entriesOf(folder), (QStringList{"Speeches-2026-12-08.csp", "Speeches-2026-12-08T134601.csp"}));
}

// Backups made one after another on one day, each followed by the rotation: the one just made is
// on disk under the name reported, and the names sort in the order the backups were made.
void tst_LibraryBackup::everyReportedBackupOutlivesRotation()
{
    QTemporaryDir dir;
    const QString databasePath = dir.filePath(QStringLiteral("Speeches.csp"));
    TestDatabase db(databasePath);
    const QString folder = dir.filePath(QStringLiteral("backups"));
    QStringList madeInOrder;
    for (int second = 0; second < 4; ++second) {
        const QString made = LibraryBackup::make(databasePath, folder, Now.addSecs(second));
        LibraryBackup::rotate(databasePath, folder, {}, made);
        QVERIFY2(QFile::exists(made), qPrintable(made));
        madeInOrder.append(QFileInfo(made).fileName());
    }
    QStringList sorted = madeInOrder;
    sorted.sort();
    QCOMPARE(sorted, madeInOrder);
}

void tst_LibraryBackup::rotationKeepsTheNewestOfEachPeriod_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("stamps");
    QTest::addColumn<QStringList>("kept");
    const auto row = [](const char *name, const char *counts, const QStringList &stamps, const char *kept) {
        QTest::newRow(name) << QByteArray("[Backups]\n") + counts << stamps << QString::fromLatin1(kept).split(u' ');
    };
    QStringList daily; // one backup a day from 30 October to Tuesday 8 December 2026
    for (QDate day(2026, 10, 30); day <= QDate(2026, 12, 8); day = day.addDays(1))
        daily.append(day.toString(QStringLiteral("yyyy-MM-dd")));
    row("defaults for counts missing or bad, forty days", "Daily=-1\nWeekly=many\n", daily,
        "2026-10-31 2026-11-22 2026-11-29 2026-11-30 2026-12-02 2026-12-03 2026-12-04 2026-12-05 2026-12-06 2026-12-07 2026-12-08");
    row("days with no backup do not count", "Daily=3\nWeekly=0\nMonthly=0\n",
        {"2025-12-01", "2026-03-01", "2026-06-01", "2026-06-02"}, "2026-03-01 2026-06-01 2026-06-02");
    row("the later backup of a day counts", "Daily=2\nWeekly=0\nMonthly=0\n",
        {"2026-12-06", "2026-12-07", "2026-12-08", "2026-12-08T120000"}, "2026-12-07 2026-12-08T120000");
    row("weeks run Monday to Sunday", "Daily=0\nWeekly=2\nMonthly=0\n",
        {"2026-11-28", "2026-11-29", "2026-11-30", "2026-12-01"}, "2026-11-29 2026-12-01");
    row("months across a year end", "Daily=0\nWeekly=0\nMonthly=2\n",
        {"2025-11-30", "2025-12-01", "2025-12-31", "2026-01-02"}, "2025-12-31 2026-01-02");
    row("nothing kept keeps the newest", "Daily=0\nWeekly=0\nMonthly=0\n", {"2026-12-07", "2026-12-08"}, "2026-12-08");
}

// Only the backups of this database are rotated; other files beside them stay.
void tst_LibraryBackup::rotationKeepsTheNewestOfEachPeriod()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, stamps);
    QFETCH(QStringList, kept);
    QTemporaryDir dir;
    QStringList expected{"Other-2020-01-01.csp", "Speeches-2020-01-01.csp.bak", "Speeches-2020-13-45.csp",
                         "Speeches-old.csp", "Speeches-2020-01-01T1.csp", "Tinlark.ini"};
    for (const QString &name : expected)
        layFile(dir.filePath(name), "other");
    layFile(dir.filePath(QStringLiteral("Tinlark.ini")), settings);
    QVERIFY(QFile::link(dir.filePath(expected[0]), dir.filePath(QStringLiteral("Speeches-2019-01-01.csp"))));
    expected << QStringLiteral("Speeches-2019-01-01.csp");
    for (const QString &stamp : stamps)
        layFile(dir.filePath(QStringLiteral("Speeches-%1.csp").arg(stamp)), stamp.toLatin1());
    for (const QString &stamp : kept)
        expected << QStringLiteral("Speeches-%1.csp").arg(stamp);
    expected.sort();

    const BackupRotation rotation = BackupRotation::read(IniFile(dir.filePath(QStringLiteral("Tinlark.ini"))));
    LibraryBackup::rotate(dir.filePath(QStringLiteral("Speeches.csp")), dir.path(), rotation);
    QCOMPARE(entriesOf(dir.path()), expected);
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

    const QString said = failureOf([&] { LibraryBackup::makeDaily(databasePath, {}, Now); });
    QVERIFY2(said.contains(databasePath) && said.contains(reason), qPrintable(said));
    QCOMPARE(entriesOf(folder), old);
    for (const QString &name : old)
        QCOMPARE(contentOf(QDir(folder).filePath(name)), name.toLatin1());
}

void tst_LibraryBackup::symbolicLinksAreNotFollowed_data()
{
    QTest::addColumn<QString>("linkName"); // in the database's folder, pointing into "elsewhere"
    QTest::addColumn<QString>("made");     // the backup's name; empty when refused
    QTest::newRow("at the day's name") << QStringLiteral("backups/Speeches-2026-12-08.csp") << QStringLiteral("Speeches-2026-12-08T134501.csp");
    QTest::newRow("as the folder") << QStringLiteral("backups") << QString();
    QTest::newRow("another user's folder") << QStringLiteral("foreign") << QString();
    QTest::newRow("a folder others may write in") << QStringLiteral("shared") << QString();
}

// What a link points to is never written.
void tst_LibraryBackup::symbolicLinksAreNotFollowed()
{
    QFETCH(QString, linkName);
    QFETCH(QString, made);
    QTemporaryDir dir;
    const QString databasePath = dir.filePath(QStringLiteral("Speeches.csp"));
    TestDatabase db(databasePath);
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("elsewhere")));
    layFile(dir.filePath(QStringLiteral("elsewhere/victim")), "the user's");
    if (linkName == QLatin1String("foreign") || linkName == QLatin1String("shared")) {
        // Planted by another user (nobody) or left open to everyone; nothing goes into it.
        const QString folder = dir.filePath(QStringLiteral("backups"));
        QVERIFY(QDir().mkpath(folder));
        if (linkName == QLatin1String("foreign"))
            QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0 || ::geteuid() != 0);
        else
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        if (linkName == QLatin1String("foreign") && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        const QString said = failureOf([&] { LibraryBackup::make(databasePath, folder, Now); });
        QVERIFY2(said.contains(linkName == QLatin1String("foreign") ? QStringLiteral("another user") : QStringLiteral("others may write")),
                 qPrintable(said));
        QCOMPARE(entriesOf(folder), QStringList());
        return;
    }
    if (made.isEmpty()) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere")), dir.filePath(linkName)));
        QVERIFY(failureOf([&] { LibraryBackup::make(databasePath, LibraryBackup::folderFor(databasePath), Now); })
                    .contains(QStringLiteral("not a folder")));
    } else {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("backups")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere/victim")), dir.filePath(linkName)));
        QCOMPARE(QFileInfo(LibraryBackup::make(databasePath, LibraryBackup::folderFor(databasePath), Now)).fileName(), made);
    }
    QVERIFY(QFileInfo(dir.filePath(linkName)).isSymLink());
    QCOMPARE(contentOf(dir.filePath(QStringLiteral("elsewhere/victim"))), QByteArray("the user's"));
    QCOMPARE(entriesOf(dir.filePath(QStringLiteral("elsewhere"))), QStringList{"victim"});
}

QTEST_GUILESS_MAIN(tst_LibraryBackup)
#include "tst_LibraryBackup.moc"
