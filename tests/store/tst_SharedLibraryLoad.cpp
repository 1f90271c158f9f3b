// Many users of one library at once (twenty on a PostgreSQL server, a few on a speech file): each edits
// a few shared speeches and adds speeches of its own. No edit is lost without its user being
// told, no error other than a refused post ever reaches a user, and the rows add up at the end.

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

#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int OperationsPerClient = 40;
constexpr int SharedSpeeches = 5;
constexpr int InsertEvery = 5;   // every fifth operation adds a speech instead of editing
constexpr int AttemptsPerEdit = 60; // a user who is refused this often gives up the edit
constexpr int LanguageId = 1;

const QString Tekst = QStringLiteral("Tekst");
const QString Keywords = QStringLiteral("Keywords");

QString editToken(int client, int operation)
{
    return QStringLiteral("[client %1 op %2]").arg(client).arg(operation);
}

QString insertKeywords(int client, int operation)
{
    return QStringLiteral("client %1 insert %2").arg(client).arg(operation);
}

// What one user did, as the user was told it.
struct ClientLog
{
    QHash<QString, qint64> storedEdits; // token -> speech it was posted to
    QHash<QString, qint64> abandonedEdits;
    QStringList inserts;
    std::optional<std::pair<QString, qint64>> pendingEdit; // a post under way
    int posts = 0;
    int conflicts = 0;
    QString error; // anything other than a refused post; empty when there was none
};

std::unique_ptr<Connection> connectTo(const QString &dataSource)
{
    auto connection = std::make_unique<Connection>();
    connection->setConnectionString(DatabaseTexts::connectionString(dataSource));
    return connection;
}

std::unique_ptr<RecordSet> openSpeeches(Connection &connection)
{
    auto set = std::make_unique<RecordSet>(&connection);
    set->setCommandText(DatabaseTexts::SpeechListCommand);
    set->open();
    return set;
}

// Appends a token to a speech the way a user does in the window: read it, type, post; when
// the post is refused because someone else changed the speech, cancel, refresh and type again.
void appendToken(RecordSet &speeches, qint64 speechId, const QString &token, ClientLog &log)
{
    for (int attempt = 0; attempt < AttemptsPerEdit; ++attempt) {
        if (!speeches.locate(QStringLiteral("ID"), speechId))
            throw EDatabaseError(QStringLiteral("shared speech %1 not found").arg(speechId));
        speeches.edit();
        const QString typed = speeches.fieldByName(Tekst)->asString() + token;
        speeches.fieldByName(Tekst)->setAsString(typed);
        try {
            log.pendingEdit = {token, speechId};
            speeches.post();
            log.pendingEdit.reset();
            ++log.posts;
            log.storedEdits.insert(token, speechId);
            return;
        } catch (const EDatabaseError &error) {
            if (!error.message().contains(QLatin1String("someone else changed it")))
                throw;
            log.pendingEdit.reset();
            ++log.conflicts;
            if (speeches.state() != DataSetState::Edit || speeches.fieldByName(Tekst)->asString() != typed)
                throw EDatabaseError(QStringLiteral("the typed text was not kept after a refused post"));
            speeches.cancel();
            speeches.refresh();
        }
    }
    log.abandonedEdits.insert(token, speechId);
}

void runClient(const QString &dataSource, int client, const std::vector<qint64> &shared, ClientLog &log)
{
    QElapsedTimer running;
    running.start();
    int operation = 0;
    try {
        const auto connection = connectTo(dataSource);
        const auto speeches = openSpeeches(*connection);
        std::mt19937 random(unsigned(1000 + client));
        std::uniform_int_distribution<size_t> pick(0, shared.size() - 1);
        for (; operation < OperationsPerClient; ++operation) {
            if (operation % InsertEvery == InsertEvery - 1) {
                speeches->append();
                speeches->fieldByName(QStringLiteral("TaalID"))->setAsInteger(LanguageId);
                speeches->fieldByName(Keywords)->setAsString(insertKeywords(client, operation));
                speeches->post();
                ++log.posts;
                log.inserts.append(insertKeywords(client, operation));
            } else {
                appendToken(*speeches, shared[pick(random)], editToken(client, operation), log);
            }
        }
    } catch (const EDatabaseError &error) {
        log.error = error.message();
    } catch (const std::exception &error) {
        log.error = QString::fromLocal8Bit(error.what());
    }
    // A post that failed with an error was reported as not stored.
    if (log.pendingEdit)
        log.abandonedEdits.insert(log.pendingEdit->first, log.pendingEdit->second);
    if (!log.error.isEmpty())
        log.error = QStringLiteral("operation %1, %2 ms in: %3").arg(operation).arg(running.elapsed()).arg(log.error);
}

} // namespace

class tst_SharedLibraryLoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void concurrentUsersLoseNothingUnseen_data();
    void concurrentUsersLoseNothingUnseen();

private:
    QString newLibrary(const QString &engine);

    QTemporaryDir m_files;
    PostgresServer m_server;
};

void tst_SharedLibraryLoad::initTestCase()
{
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

QString tst_SharedLibraryLoad::newLibrary(const QString &engine)
{
    if (engine == QLatin1String("file")) {
        const QString path = m_files.filePath(QStringLiteral("load.csp"));
        TestDatabase made(path);
        return path;
    }
    const QString dataSource = m_server.createDatabase(QStringLiteral("load"));
    PostgresDatabase server(dataSource, nullptr);
    PostgresSchema::create(server);
    return dataSource;
}

void tst_SharedLibraryLoad::concurrentUsersLoseNothingUnseen_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<int>("users");
    // A team shares a server; a file is shared by a few programs at once. Twenty writers at
    // full speed on one file can keep one of them waiting past the busy timeout (it is told
    // so and nothing is lost), since SQLite's lock serves no queue.
    QTest::newRow("file") << QStringLiteral("file") << 4;
    QTest::newRow("server") << QStringLiteral("server") << 20;
}

void tst_SharedLibraryLoad::concurrentUsersLoseNothingUnseen()
{
    QFETCH(QString, engine);
    QFETCH(int, users);
    const QString library = newLibrary(engine);
    std::vector<qint64> shared;
    {
        const auto connection = connectTo(library);
        RecordSet languages(connection.get());
        languages.setCommandText(DatabaseTexts::LanguageListCommand);
        languages.open();
        languages.append();
        languages.fieldByName(QStringLiteral("Taal"))->setAsString(QStringLiteral("English"));
        languages.post();
        const auto speeches = openSpeeches(*connection);
        for (int speech = 0; speech < SharedSpeeches; ++speech) {
            speeches->append();
            speeches->fieldByName(QStringLiteral("TaalID"))->setAsInteger(LanguageId);
            speeches->fieldByName(Keywords)->setAsString(QStringLiteral("shared %1").arg(speech));
            speeches->fieldByName(Tekst)->setAsString(QString());
            speeches->post();
            shared.push_back(*speeches->currentKey());
        }
    }

    std::vector<ClientLog> logs(static_cast<size_t>(users));
    QElapsedTimer elapsed;
    elapsed.start();
    {
        std::vector<std::jthread> clients;
        for (int client = 0; client < users; ++client)
            clients.emplace_back(runClient, library, client, std::cref(shared), std::ref(logs[size_t(client)]));
    }
    const qint64 milliseconds = std::max<qint64>(elapsed.elapsed(), 1);

    int posts = 0;
    int conflicts = 0;
    int abandoned = 0;
    QStringList errors;
    for (int client = 0; client < users; ++client) {
        const ClientLog &log = logs[size_t(client)];
        if (!log.error.isEmpty())
            errors.append(QStringLiteral("client %1, %2").arg(client).arg(log.error));
        posts += log.posts;
        conflicts += log.conflicts;
        abandoned += int(log.abandonedEdits.size());
    }
    qInfo("%s: %d posts, %d conflicts, %d edits not stored, %d ms, %.0f posts/s", qPrintable(engine), posts, conflicts,
          abandoned, int(milliseconds), posts * 1000.0 / double(milliseconds));

    // What is stored, read through a connection of its own.
    const auto connection = connectTo(library);
    const auto speeches = openSpeeches(*connection);
    QHash<qint64, QString> sharedTexts;
    QStringList ownKeywords;
    for (speeches->first(); !speeches->eof(); speeches->next()) {
        const qint64 id = *speeches->currentKey();
        if (std::find(shared.begin(), shared.end(), id) != shared.end())
            sharedTexts.insert(id, speeches->fieldByName(Tekst)->asString());
        else
            ownKeywords.append(speeches->fieldByName(Keywords)->asString());
    }
    QCOMPARE(sharedTexts.size(), SharedSpeeches);

    int storedEdits = 0;
    int inserts = 0;
    for (int client = 0; client < users; ++client) {
        const ClientLog &log = logs[size_t(client)];
        for (auto edit = log.storedEdits.cbegin(); edit != log.storedEdits.cend(); ++edit) {
            for (auto text = sharedTexts.cbegin(); text != sharedTexts.cend(); ++text) {
                const int expected = text.key() == edit.value() ? 1 : 0;
                QVERIFY2(text.value().count(edit.key()) == expected,
                         qPrintable(QStringLiteral("%1 is in speech %2 %3 times, told stored in speech %4")
                                        .arg(edit.key())
                                        .arg(text.key())
                                        .arg(text.value().count(edit.key()))
                                        .arg(edit.value())));
            }
        }
        for (auto edit = log.abandonedEdits.cbegin(); edit != log.abandonedEdits.cend(); ++edit) {
            for (const QString &text : std::as_const(sharedTexts))
                QVERIFY2(!text.contains(edit.key()), qPrintable(edit.key() + QStringLiteral(" was refused but stored")));
        }
        for (const QString &keywords : log.inserts)
            QCOMPARE(ownKeywords.count(keywords), 1);
        storedEdits += int(log.storedEdits.size());
        inserts += int(log.inserts.size());
    }
    // Nothing stored that no user was told of: every token and every row is accounted for.
    int tokensStored = 0;
    for (const QString &text : std::as_const(sharedTexts))
        tokensStored += int(text.count(QLatin1Char('[')));
    QCOMPARE(tokensStored, storedEdits);
    QCOMPARE(int(ownKeywords.size()), inserts);
    QCOMPARE(storedEdits + inserts, posts);
    // Checked last, so that a run with errors still shows whether anything was lost.
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QCOMPARE(inserts, users * (OperationsPerClient / InsertEvery));
    QCOMPARE(storedEdits + abandoned + inserts, users * OperationsPerClient);
}

QTEST_MAIN(tst_SharedLibraryLoad)
#include "tst_SharedLibraryLoad.moc"
