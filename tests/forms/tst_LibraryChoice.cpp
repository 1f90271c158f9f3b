#include "Exception.h"
#include "JetFixtures.h"
#include "LibraryChoice.h"
#include "ModalDialogHelper.h"
#include "Schema.h"
#include "TestMain.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

class tst_LibraryChoice : public QObject
{
    Q_OBJECT

private slots:
    void newNameBesideNamesNoFileYet_data();
    void newNameBesideNamesNoFileYet();
    void openPointsOtherFilesToBringIn_data();
    void openPointsOtherFilesToBringIn();
};

void tst_LibraryChoice::newNameBesideNamesNoFileYet_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("offered");
    QTest::newRow("its own name is free") << "old.mdb" << QStringList{"old.mdb"} << "old.csp";
    QTest::newRow("an Access file ending in .csp") << "Speeches.csp" << QStringList{"Speeches.csp"}
                                                   << "Speeches (2).csp";
    QTest::newRow("numbers already taken") << "team.csv" << QStringList{"team.csv", "team.csp", "team (2).csp"}
                                           << "team (3).csp";
    QTest::newRow("dots in the name") << "a.b.json" << QStringList{"a.b.json"} << "a.b.csp";
}

void tst_LibraryChoice::newNameBesideNamesNoFileYet()
{
    QFETCH(QString, source);
    QFETCH(QStringList, present);
    QFETCH(QString, offered);
    QTemporaryDir folder;
    for (const QString &name : present) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(LibraryChoice::newNameBeside(folder.filePath(source)), folder.filePath(offered));
}

// Open library... opens library files; an Access database, a CSV file or anything else is
// refused with the way that takes it in.
void tst_LibraryChoice::openPointsOtherFilesToBringIn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("library") << "library" << "";
    QTest::newRow("Access database") << "jet" << "is an Access database, not a library: File > Bring in...";
    QTest::newRow("CSV file") << "csv" << "is not a library file. File > Bring in... makes a library";
}

void tst_LibraryChoice::openPointsOtherFilesToBringIn()
{
    QFETCH(QString, kind);
    QFETCH(QString, refusal);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Speeches.csp"));
    if (kind == QLatin1String("library"))
        Schema::createFile(path);
    else if (kind == QLatin1String("jet"))
        QVERIFY(QFile::copy(JetFixtures::jet4Path(), path));
    else
        JetFixtures::write(path, "Keywords,Text\nhello,Hello there\n");
    answerNextModal([&path](QWidget *dialog) {
        auto *place = dialog->findChild<QLineEdit *>(QStringLiteral("edLibrary"));
        QVERIFY(place);
        place->setText(path);
        qobject_cast<QDialog *>(dialog)->accept();
    });
    QString said;
    QString chosen;
    try {
        chosen = LibraryChoice::open(nullptr);
    } catch (const Exception &error) {
        said = error.message();
    }
    QCOMPARE(chosen, refusal.isEmpty() ? path : QString());
    QVERIFY2(refusal.isEmpty() ? said.isEmpty() : said.contains(refusal), qPrintable(said));
}

TINLARK_TEST_MAIN(tst_LibraryChoice)
#include "tst_LibraryChoice.moc"
