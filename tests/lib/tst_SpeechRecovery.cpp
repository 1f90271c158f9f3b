#include "EDatabaseError.h"
#include "Schema.h"
#include "SpeechRecovery.h"
#include "TestMain.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <unistd.h>

// A recovery file and a new speech database hold a user's text: each is made new, for the
// user's eyes only, and never through a symlink someone planted where it goes.
class tst_SpeechRecovery : public QObject
{
    Q_OBJECT

private slots:
    void plantedSymlinkIsNeverFollowed_data();
    void plantedSymlinkIsNeverFollowed();
    void keptTextsAreFoundForTheirLibraryOnly_data();
    void keptTextsAreFoundForTheirLibraryOnly();
};

void tst_SpeechRecovery::keptTextsAreFoundForTheirLibraryOnly_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("neighbour"); // another library in the same folder
    QTest::newRow("brackets") << QStringLiteral("Speeches[1].csp") << QStringLiteral("Speeches1.csp");
    QTest::newRow("star") << QStringLiteral("Old*.csp") << QStringLiteral("Older.csp");
    QTest::newRow("case only") << QStringLiteral("speeches.csp") << QStringLiteral("Speeches.csp");
}

void tst_SpeechRecovery::keptTextsAreFoundForTheirLibraryOnly()
{
    QFETCH(QString, library);
    QFETCH(QString, neighbour);
    QTemporaryDir dir;
    QTemporaryDir fallback;
    const QString own = SpeechRecovery::keep(dir.filePath(library), fallback.path(), SpeechRecovery::Speech(), QStringLiteral("full"));
    const QString other = SpeechRecovery::keep(dir.filePath(neighbour), fallback.path(), SpeechRecovery::Speech(), QStringLiteral("full"));
    QVERIFY(!own.isEmpty() && !other.isEmpty());
    QCOMPARE(SpeechRecovery::find(dir.filePath(library), fallback.path()), QStringList{own});
    QCOMPARE(SpeechRecovery::find(dir.filePath(neighbour), fallback.path()), QStringList{other});
}

void tst_SpeechRecovery::plantedSymlinkIsNeverFollowed_data()
{
    QTest::addColumn<bool>("database"); // else a recovery file
    QTest::addColumn<bool>("dangling"); // else to a file of the victim's
    QTest::newRow("recovery file, dangling symlink") << false << true;
    QTest::newRow("recovery file, symlink to a file") << false << false;
    QTest::newRow("new database, dangling symlink") << true << true;
    QTest::newRow("new database, symlink to a file") << true << false;
}

void tst_SpeechRecovery::plantedSymlinkIsNeverFollowed()
{
    QFETCH(bool, database);
    QFETCH(bool, dangling);
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    const QByteArray victimContent = "not to be touched";
    if (!dangling) {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(victimContent) == victimContent.size());
    }
    const QString databasePath = dir.filePath(QStringLiteral("Speeches.csp"));
    // Every name a recovery file may take in the next seconds; the database's one name.
    QStringList planted;
    const QDateTime now = QDateTime::currentDateTime();
    for (int second = 0; second < 5 && !database; ++second)
        planted.append(databasePath + QStringLiteral(".recovered-")
                       + now.addSecs(second).toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".txt"));
    if (database)
        planted.append(databasePath);
    for (const QString &link : planted)
        QCOMPARE(::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(link).constData()), 0);

    QString made;
    if (database) {
        try {
            Schema::createFile(databasePath);
            QFAIL("a database was made through a symlink");
        } catch (const EDatabaseError &error) {
            QVERIFY2(error.message().contains(QLatin1String("already exists")), qPrintable(error.message()));
        }
    } else {
        const SpeechRecovery::Speech speech{7, QStringLiteral("English"), QStringLiteral("thanks"),
                                            QStringLiteral("Thank you all for coming."), QString()};
        made = SpeechRecovery::keep(databasePath, dir.filePath(QStringLiteral("fallback")), speech,
                                    QStringLiteral("refused"));
        QVERIFY(!made.isEmpty());
        QVERIFY(!planted.contains(made));
        const QFileInfo kept(made);
        QVERIFY(!kept.isSymLink());
        QCOMPARE(kept.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        QFile file(made);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Thank you all for coming."));
    }
    // The symlinks' target is as it was: still missing, or holding what it held.
    if (dangling) {
        QVERIFY(!QFileInfo::exists(victim));
    } else {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), victimContent);
    }
    // Nothing else was left in the folder.
    QStringList expected = dangling ? QStringList() : QStringList{QStringLiteral("victim")};
    for (const QString &link : planted)
        expected.append(QFileInfo(link).fileName());
    if (!made.isEmpty())
        expected.append(QFileInfo(made).fileName());
    expected.removeDuplicates();
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
             expected);
}

TINLARK_TEST_MAIN(tst_SpeechRecovery)
#include "tst_SpeechRecovery.moc"
