#include "FileLocations.h"
#include "FirstStartQuestion.h"
#include "ModalDialogHelper.h"
#include "Schema.h"
#include "TButton.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <sqlite3.h>

namespace {

enum class Reply { Create, BringIn, BringInNothing, Escape };

// Answers the question the way a user does, and the file dialog that "Bring in" opens.
void answerQuestion(Reply reply, const QString &chosenFile, bool *asked)
{
    answerNextModal([=](QWidget *question) {
        *asked = true;
        if (reply == Reply::Create || reply == Reply::Escape) {
            QTest::keyClick(question, reply == Reply::Create ? Qt::Key_Return : Qt::Key_Escape);
            return;
        }
        for (TButton *button : question->findChildren<TButton *>()) {
            if (button->text() == QStringLiteral("&Bring in..."))
                button->click();
        }
        answerNextModal([=](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(files);
            if (reply == Reply::BringInNothing) {
                files->reject();
                return;
            }
            files->selectFile(chosenFile);
            QMetaObject::invokeMethod(files, "accept");
        });
    });
}

} // namespace

// What an installed program offers when it starts without its speech database.
class tst_FirstStartQuestion : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void portableProgramAsksNothing();
};

void tst_FirstStartQuestion::answers_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("databaseThere");
    QTest::newRow("Enter creates an empty database") << Reply::Create << true;
    QTest::newRow("bring in copies the chosen file") << Reply::BringIn << true;
    QTest::newRow("no file chosen") << Reply::BringInNothing << false;
    QTest::newRow("Esc leaves it") << Reply::Escape << false;
}

void tst_FirstStartQuestion::answers()
{
    QFETCH(Reply, reply);
    QFETCH(bool, databaseThere);
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("mine.csp"));
    Schema::createFile(existing);
    {
        // A database of the user's own, with a language in it.
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open_v2(existing.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        const int added = sqlite3_exec(db, "INSERT INTO Taal (Taal) VALUES ('Dansk')", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(added, SQLITE_OK);
    }
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    const FileLocations locations(QStringLiteral("/usr/bin"), FileLocations::Mode::Installed, environment);
    const QString database = locations.databasePath(FileLocations::DefaultDatabaseName);

    bool asked = false;
    answerQuestion(reply, existing, &asked);
    QCOMPARE(FirstStartQuestion::offer(locations, database), databaseThere);
    QVERIFY(asked);
    QCOMPARE(QFile::exists(database), databaseThere);
    // Nothing else is left in the data folder, such as half a copy.
    QCOMPARE(QDir(locations.dataFolder()).entryList(QDir::Files),
             databaseThere ? QStringList{FileLocations::DefaultDatabaseName} : QStringList());
    if (reply == Reply::BringIn) {
        QFile copy(database), original(existing);
        QVERIFY(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
    }
    if (reply == Reply::Create) {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open_v2(database.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        const int tables = sqlite3_exec(db, "SELECT ID, TaalID, Keywords, Tekst, Comments FROM Speeches; SELECT ID, Taal FROM Taal",
                                        nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(tables, SQLITE_OK);
    }
}

void tst_FirstStartQuestion::portableProgramAsksNothing()
{
    QTemporaryDir dir;
    const FileLocations locations(dir.path(), FileLocations::Mode::Portable, QProcessEnvironment());
    // Runs inside a question's event loop if one opens, else right after offer returns.
    bool asked = false;
    QTimer::singleShot(0, [&asked] {
        if (QWidget *question = QApplication::activeModalWidget()) {
            asked = true;
            QTest::keyClick(question, Qt::Key_Escape);
        }
    });
    QVERIFY(!FirstStartQuestion::offer(locations, locations.databasePath(FileLocations::DefaultDatabaseName)));
    QCoreApplication::processEvents();
    QVERIFY(!asked);
    QVERIFY(!QFile::exists(locations.databasePath(FileLocations::DefaultDatabaseName)));
}

TINLARK_TEST_MAIN(tst_FirstStartQuestion)
#include "tst_FirstStartQuestion.moc"
