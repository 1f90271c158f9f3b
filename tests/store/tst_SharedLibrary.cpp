// The record sets on both engines: a speech file and a library on a PostgreSQL server give
// the same moves, posts, searches and order, and two users of one library never overwrite
// each other's work unseen.

#include "Connection.h"
#include "DatabaseTexts.h"
#include "EDatabaseError.h"
#include "Field.h"
#include "PostgresDatabase.h"
#include "PostgresSchema.h"
#include "PostgresServer.h"
#include "RecordSet.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QTemporaryDir>
#include <memory>

namespace {

QString keywordsOf(RecordSet &set)
{
    return set.fieldByName(QStringLiteral("Keywords"))->asString();
}

QStringList allKeywords(RecordSet &set)
{
    QStringList keywords;
    for (set.first(); !set.eof(); set.next())
        keywords.append(keywordsOf(set));
    return keywords;
}

} // namespace

class tst_SharedLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameBehaviourOnBothEngines_data();
    void sameBehaviourOnBothEngines();
    void twoUsersNeverOverwriteEachOther_data();
    void twoUsersNeverOverwriteEachOther();
    void unreachableServerIsNamedWithoutPassword();

private:
    // A new empty library of the engine asked for; its data source.
    QString newLibrary(const QString &engine);
    std::unique_ptr<Connection> connect(const QString &dataSource);
    std::unique_ptr<RecordSet> openSet(Connection &connection, const QString &command, const QString &filter = {});

    QTemporaryDir m_files;
    PostgresServer m_server;
    int m_libraries = 0;
};

void tst_SharedLibrary::initTestCase()
{
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

QString tst_SharedLibrary::newLibrary(const QString &engine)
{
    const QString name = QStringLiteral("library%1").arg(++m_libraries);
    if (engine == QLatin1String("file")) {
        const QString path = m_files.filePath(name + QStringLiteral(".csp"));
        TestDatabase made(path);
        return path;
    }
    const QString dataSource = m_server.createDatabase(name);
    PostgresDatabase server(dataSource, nullptr);
    PostgresSchema::create(server);
    return dataSource;
}

std::unique_ptr<Connection> tst_SharedLibrary::connect(const QString &dataSource)
{
    auto connection = std::make_unique<Connection>();
    connection->setConnectionString(DatabaseTexts::connectionString(dataSource));
    return connection;
}

std::unique_ptr<RecordSet> tst_SharedLibrary::openSet(Connection &connection, const QString &command,
                                                      const QString &filter)
{
    auto set = std::make_unique<RecordSet>(&connection);
    set->setCommandText(command);
    set->setFilter(filter);
    set->setFiltered(!filter.isEmpty());
    set->open();
    return set;
}

void tst_SharedLibrary::sameBehaviourOnBothEngines_data()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("file") << QStringLiteral("file");
    QTest::newRow("server") << QStringLiteral("server");
}

void tst_SharedLibrary::sameBehaviourOnBothEngines()
{
    QFETCH(QString, engine);
    const auto connection = connect(newLibrary(engine));

    // Languages in the order a reader expects, whatever their case and alphabet.
    auto languages = openSet(*connection, DatabaseTexts::LanguageListCommand);
    for (const QString &name : {QStringLiteral("Zulu"), QStringLiteral("Ελληνικά"), QStringLiteral("Dansk"),
                                QStringLiteral("Čeština"), QStringLiteral("afrikaans")}) {
        languages->append();
        languages->fieldByName(QStringLiteral("Taal"))->setAsString(name);
        languages->post();
    }
    languages->refresh();
    QStringList order;
    for (languages->first(); !languages->eof(); languages->next())
        order.append(languages->fieldByName(QStringLiteral("Taal"))->asString());
    QCOMPARE(order, (QStringList{QStringLiteral("afrikaans"), QStringLiteral("Čeština"), QStringLiteral("Dansk"),
                                 QStringLiteral("Zulu"), QStringLiteral("Ελληνικά")}));
    QVERIFY(languages->locate(QStringLiteral("Taal"), 0) == false);

    // Speeches of one language: stored exactly, moved through with the flags of their ends.
    auto speeches = openSet(*connection, DatabaseTexts::SpeechListCommand, DatabaseTexts::languageFilter(1));
    const QString longText = QString(100000, QChar(0x0416)) + QStringLiteral("\r\n\t'\"$1?");
    for (const QString &keywords : {QStringLiteral("Straße"), QStringLiteral("σοφός"), QStringLiteral("100% sure"),
                                  QStringLiteral("to delete")}) {
        speeches->append();
        speeches->fieldByName(QStringLiteral("TaalID"))->setAsInteger(1);
        speeches->fieldByName(QStringLiteral("Keywords"))->setAsString(keywords);
        speeches->fieldByName(QStringLiteral("Tekst"))->setAsString(longText);
        speeches->post();
    }
    QCOMPARE(speeches->recordCount(), 4);
    speeches->first();
    QVERIFY(speeches->bof() && !speeches->eof());
    QCOMPARE(speeches->fieldByName(QStringLiteral("Tekst"))->asString(), longText);
    QVERIFY(speeches->fieldByName(QStringLiteral("Comments"))->value().isNull());
    speeches->last();
    speeches->next();
    QVERIFY(speeches->eof());
    speeches->first();
    speeches->edit();
    speeches->fieldByName(QStringLiteral("Comments"))->setAsString(QString());
    speeches->post();
    speeches->refresh();
    QVERIFY(!speeches->fieldByName(QStringLiteral("Comments"))->value().isNull()); // empty is not NULL
    speeches->last();
    speeches->deleteRecord();
    QCOMPARE(allKeywords(*speeches),
             (QStringList{QStringLiteral("Straße"), QStringLiteral("σοφός"), QStringLiteral("100% sure")}));

    // The keyword search folds case in every alphabet and knows its two wildcards.
    const auto search = [&](const QString &text) {
        return allKeywords(*openSet(*connection, DatabaseTexts::keywordSearch(text, 1)));
    };
    QCOMPARE(search(QStringLiteral("ΣΟΦΌΣ")), QStringList{QStringLiteral("σοφός")});
    QCOMPARE(search(QStringLiteral("0_%SURE")), QStringList{QStringLiteral("100% sure")});
    QCOMPARE(search(QStringLiteral("e")), (QStringList{QStringLiteral("Straße"), QStringLiteral("100% sure")}));
    QCOMPARE(search(QStringLiteral("STRAßE")), QStringList{QStringLiteral("Straße")});
}

void tst_SharedLibrary::twoUsersNeverOverwriteEachOther_data()
{
    sameBehaviourOnBothEngines_data();
}

void tst_SharedLibrary::twoUsersNeverOverwriteEachOther()
{
    QFETCH(QString, engine);
    const QString library = newLibrary(engine);
    const auto mine = connect(library);
    const auto theirs = connect(library);
    auto myLanguages = openSet(*mine, DatabaseTexts::LanguageListCommand);
    myLanguages->append();
    myLanguages->fieldByName(QStringLiteral("Taal"))->setAsString(QStringLiteral("English"));
    myLanguages->post();
    auto mySpeeches = openSet(*mine, DatabaseTexts::SpeechListCommand);
    mySpeeches->append();
    mySpeeches->fieldByName(QStringLiteral("TaalID"))->setAsInteger(1);
    mySpeeches->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("first"));
    mySpeeches->post();
    auto theirSpeeches = openSet(*theirs, DatabaseTexts::SpeechListCommand);

    // Both change the one speech: the later post is refused and keeps what was typed.
    theirSpeeches->edit();
    theirSpeeches->fieldByName(QStringLiteral("Tekst"))->setAsString(QStringLiteral("their text"));
    theirSpeeches->post();
    mySpeeches->edit();
    mySpeeches->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("mine"));
    try {
        mySpeeches->post();
        QFAIL("a post over another user's change was taken");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QLatin1String("someone else changed it")), qPrintable(error.message()));
    }
    QCOMPARE(keywordsOf(*mySpeeches), QStringLiteral("mine"));
    mySpeeches->cancel();
    mySpeeches->refresh();
    QCOMPARE(mySpeeches->fieldByName(QStringLiteral("Tekst"))->asString(), QStringLiteral("their text"));

    // A speech they add is seen at my next move; an edit of one they deleted is refused.
    theirSpeeches->append();
    theirSpeeches->fieldByName(QStringLiteral("TaalID"))->setAsInteger(1);
    theirSpeeches->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("second"));
    theirSpeeches->post();
    mySpeeches->next();
    QCOMPARE(keywordsOf(*mySpeeches), QStringLiteral("second"));
    theirSpeeches->deleteRecord();
    mySpeeches->edit();
    mySpeeches->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("gone"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, mySpeeches->post());
    mySpeeches->cancel();

    // A language still in use: the count the delete question gives is the one stored now.
    QCOMPARE(theirs->scalar(DatabaseTexts::SpeechCountOfLanguage, {1}).toInt(), 1);
}

void tst_SharedLibrary::unreachableServerIsNamedWithoutPassword()
{
    const auto connection =
        connect(QStringLiteral("postgresql://someone:secret-word@/speeches?host=%1/none").arg(m_files.path()));
    try {
        connection->open();
        QFAIL("an unreachable server was opened");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QLatin1String("speeches")), qPrintable(error.message()));
        QVERIFY2(!error.message().contains(QLatin1String("secret-word")), qPrintable(error.message()));
    }
}

QTEST_MAIN(tst_SharedLibrary)
#include "tst_SharedLibrary.moc"
