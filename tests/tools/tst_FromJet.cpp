#include "JetFixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace JetFixtures;

namespace {

struct Run
{
    int exitCode;
    QString out;
    QString err;
};

Run makeDb(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TINLARK_MAKEDB), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class tst_FromJet : public QObject
{
    Q_OBJECT

private slots:
    void convertsAndSaysWhat_data();
    void convertsAndSaysWhat();
    void failureExitsNonZeroAndChangesNothing_data();
    void failureExitsNonZeroAndChangesNothing();
};

void tst_FromJet::convertsAndSaysWhat_data()
{
    QTest::addColumn<QString>("jetPath");
    QTest::addColumn<QString>("said");
    QTest::newRow("Jet 4") << jet4Path() << "Converted 4 languages and 7 speeches into ";
    QTest::newRow("Jet 3") << jet3Path() << "Converted 3 languages and 6 speeches into ";
}

void tst_FromJet::convertsAndSaysWhat()
{
    QFETCH(QString, jetPath);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Speeches.csp"));
    const Run run = makeDb({QStringLiteral("--from-jet"), jetPath, target});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, said + target + QLatin1Char('\n'));
    QCOMPARE(differencesFromExpected(target, expectedJsonOf(jetPath)), QStringList());
}

void tst_FromJet::failureExitsNonZeroAndChangesNothing_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("message");
    QTest::newRow("existing NEW") << true << read(jet3Path()) << "new.csp already exists; it is left as it is";
    QTest::newRow("not Jet") << false << QByteArray("plain text\n") << "old.mdb: it is not an Access database";
}

void tst_FromJet::failureExitsNonZeroAndChangesNothing()
{
    QFETCH(bool, targetExists);
    QFETCH(QByteArray, source);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.mdb"));
    const QString target = dir.filePath(QStringLiteral("new.csp"));
    write(old, source);
    if (targetExists)
        write(target, "mine");
    const Run run = makeDb({QStringLiteral("--from-jet"), old, target});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(QStringLiteral("tinlark-makedb: ")) && run.err.contains(message), qPrintable(run.err));
    QCOMPARE(read(old), source);
    QCOMPARE(read(target), targetExists ? QByteArray("mine") : QByteArray());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), targetExists ? 2 : 1);
}

QTEST_GUILESS_MAIN(tst_FromJet)
#include "tst_FromJet.moc"
