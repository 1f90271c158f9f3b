#include "DatabaseTexts.h"
#include "EDatabaseError.h"
#include "LibraryCopy.h"
#include "LikePattern.h"
#include "PostgresChangeListener.h"
#include "PostgresChangeNotice.h"
#include "PostgresDatabase.h"
#include "PostgresPlaceholders.h"
#include "PostgresSchema.h"
#include "PostgresServer.h"
#include "SqlCommand.h"
#include "TestMain.h"

#include <QTemporaryDir>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <libpq-fe.h>
#include <unicode/ucol.h>

using Ids = std::vector<qint64>;

namespace {

// Keywords of two languages, with case in several alphabets, wildcards' look-alikes and
// short words.
const QStringList KeywordsOfFirst = {
    QStringLiteral("Straße, Maß"), QStringLiteral("STRASSE"), QStringLiteral("ΟΔΟΣ σοφός"), QStringLiteral("Σοφοσ"),
    QStringLiteral("Ünïcödé ÉTÉ"), QStringLiteral("ünicode été"), QStringLiteral("100% sure"), QStringLiteral("a_b"),
    QStringLiteral("ab"), QStringLiteral(""), QStringLiteral("Čeština kniha"), QStringLiteral("back\\slash"),
    QStringLiteral("ЗДРАВСТВУЙТЕ мир"), QStringLiteral("日本語のテキスト"), QStringLiteral("kniha knihovna"),
    QStringLiteral("tee\tpot")};
const QStringList KeywordsOfSecond = {QStringLiteral("Straße zwei"), QStringLiteral("sofos"), QStringLiteral("ab")};

qint64 insertRow(Database &db, const QString &sql, const QVariantList &values)
{
    const std::unique_ptr<DatabaseStatement> insert = db.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        insert->bind(i + 1, values[i]);
    if (!insert->step())
        return -1;
    return insert->columnValue(0).toLongLong();
}

qint64 addSpeech(Database &db, qint64 language, const QVariant &keywords)
{
    return insertRow(db, QStringLiteral("INSERT INTO \"Speeches\" (\"TaalID\", \"Keywords\") VALUES (?, ?) RETURNING \"ID\""),
                     {language, keywords});
}

QVariantList column(Database &db, const QString &sql, const QVariantList &values = {})
{
    const std::unique_ptr<DatabaseStatement> select = db.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        select->bind(i + 1, values[i]);
    QVariantList result;
    while (select->step())
        result.append(select->columnValue(0));
    return result;
}

// What the program's search finds in a file: the pattern decides on every keyword.
Ids expectedHits(Database &db, const QString &searchText, int language)
{
    const QByteArray pattern = (QLatin1Char('%') + searchText + QLatin1Char('%')).toUtf8();
    const LikePattern like(std::string_view(pattern.constData(), size_t(pattern.size())));
    const std::unique_ptr<DatabaseStatement> all =
        db.prepare(QStringLiteral("SELECT \"ID\", \"Keywords\" FROM \"Speeches\" WHERE \"TaalID\" = ? ORDER BY \"ID\""));
    all->bind(1, language);
    Ids ids;
    while (all->step()) {
        const QVariant keywords = all->columnValue(1);
        const QByteArray text = keywords.toString().toUtf8();
        if (!keywords.isNull() && like.matches(std::string_view(text.constData(), size_t(text.size()))))
            ids.push_back(all->columnValue(0).toLongLong());
    }
    return ids;
}

std::optional<Ids> search(Database &db, const QString &searchText, int language)
{
    return db.findKeywords(SqlCommand::fromJet(DatabaseTexts::keywordSearch(searchText, language), db.textOrderClause()));
}

// Runs statements past the program, as the superuser the test server knows; the server's
// error, or empty.
QString runAsAdministrator(const QString &dataSource, const QByteArray &sql)
{
    PGconn *conn = PQconnectdb(dataSource.toUtf8().constData());
    PGresult *result = PQexec(conn, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    const QString error = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ? QString()
                                                                                  : QString::fromUtf8(PQerrorMessage(conn));
    PQclear(result);
    PQfinish(conn);
    return error;
}

// A role that may create in 'public', behind the library's own schema on everyone's path,
// and puts there a better fit for lower(name), setval(text, ...) and '=' on varchar than the
// built-ins, each noting its call in a table.
const char *const HijackedDatabaseSql = R"sql(
CREATE SCHEMA team;
DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET search_path = team, public', current_database()); END $$;
GRANT CREATE ON SCHEMA public TO mallory;
CREATE TABLE public.calls (name text);
GRANT INSERT ON public.calls TO PUBLIC;
SET ROLE mallory;
CREATE FUNCTION public.lower(name) RETURNS text LANGUAGE sql
  AS $$ INSERT INTO public.calls VALUES ('lower'); SELECT pg_catalog.lower($1::text) $$;
CREATE FUNCTION public.setval(text, bigint, boolean) RETURNS bigint LANGUAGE sql
  AS $$ INSERT INTO public.calls VALUES ('setval'); SELECT pg_catalog.setval($1::regclass, $2, $3) $$;
CREATE FUNCTION public.equal(varchar, varchar) RETURNS boolean LANGUAGE sql
  AS $$ INSERT INTO public.calls VALUES ('='); SELECT $1::text OPERATOR(pg_catalog.=) $2::text $$;
CREATE OPERATOR public.= (LEFTARG = varchar, RIGHTARG = varchar, FUNCTION = public.equal);
RESET ROLE;
)sql";

QStringList callsIn(const QString &dataSource)
{
    PGconn *conn = PQconnectdb(dataSource.toUtf8().constData());
    PGresult *result = PQexec(conn, "SELECT name FROM public.calls");
    QStringList names;
    for (int row = 0; row < PQntuples(result); ++row)
        names.append(QString::fromUtf8(PQgetvalue(result, row, 0)));
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        names.append(QString::fromUtf8(PQerrorMessage(conn)));
    PQclear(result);
    PQfinish(conn);
    return names;
}

qint64 backendOf(Database &db)
{
    return column(db, QStringLiteral("SELECT pg_backend_pid()")).value(0).toLongLong();
}

} // namespace

class tst_PostgresDatabase : public QObject
{
    Q_OBJECT

private slots:
    void changeNoticesAreReadStrictly_data();
    void changeNoticesAreReadStrictly();
    void initTestCase();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void textWithNulIsRefused();
    void placeholdersOutsideLiteralsOnly_data();
    void placeholdersOutsideLiteralsOnly();
    void placeholdersInLiteralsStayText();
    void changesAndRollback();
    void tableColumnsGiveSizes();
    void copiedIdsAreNotGivenAgain();
    void languageOrderIsIcuRootOrder();
    void keywordSearchMatchesLikePattern_data();
    void keywordSearchMatchesLikePattern();
    void otherCommandsAreNoSearch();
    void changeFromAnotherClientIsFound();
    void earlierLibraryGetsKeywordWords();
    void waitForAnotherWriterIsTold();
    void unreachableServerIsNamedWithoutPassword_data();
    void unreachableServerIsNamedWithoutPassword();
    void lostConnectionIsReportedAndReconnected();
    void othersFunctionsNeverRun();
    void unsafeLibraryIsRefused_data();
    void unsafeLibraryIsRefused();
    void triggerRunsWithTheLibrarysPath();
    void triggerPlantedWhileOpenNeverRuns();
    void writerCannotForgeVersionsOrCopies();
    void teamRecipesWorkAsWritten();
    void noticesOnlyFromWritersAndMerged();
    void networkServerMustProveItself_data();
    void serverNoticeCannotSteerTheTerminal();
    void networkServerMustProveItself();

private:
    PostgresServer m_server;
    QString hijackedDatabase(const QString &name);

    std::unique_ptr<PostgresServer> m_tlsServer;

    QString m_dataSource;
    std::unique_ptr<PostgresDatabase> m_db;
    qint64 m_first = 0;
    qint64 m_second = 0;
};

void tst_PostgresDatabase::initTestCase()
{
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
    m_dataSource = m_server.createDatabase(QStringLiteral("speeches"));
    QVERIFY2(!m_dataSource.isEmpty(), qPrintable(m_server.error()));
    auto db = std::make_unique<PostgresDatabase>(m_dataSource, nullptr);
    PostgresSchema::create(*db);
    db->session().execute(R"(CREATE TABLE "Values" ("ID" bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, )"
                          R"("Text" text, "Number" bigint, "Real" double precision))");
    m_db = std::move(db);
    QCOMPARE(runAsAdministrator(m_dataSource, "CREATE ROLE mallory; CREATE ROLE ann LOGIN; CREATE ROLE team"), QString());
    m_first = insertRow(*m_db, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES (?) RETURNING \"ID\""), {QStringLiteral("Deutsch")});
    m_second = insertRow(*m_db, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES (?) RETURNING \"ID\""), {QStringLiteral("Ελληνικά")});
    m_db->begin();
    for (const QString &keywords : KeywordsOfFirst)
        addSpeech(*m_db, m_first, keywords);
    addSpeech(*m_db, m_first, QVariant());
    for (const QString &keywords : KeywordsOfSecond)
        addSpeech(*m_db, m_second, keywords);
    m_db->commit();
}

void tst_PostgresDatabase::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("columnName");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("null text") << "Text" << QVariant();
    QTest::newRow("empty text") << "Text" << QVariant(QString(""));
    QTest::newRow("1 MB of text") << "Text" << QVariant(QString(1 << 20, QLatin1Char('x')));
    QTest::newRow("every alphabet") << "Text"
                                    << QVariant(QStringLiteral("Ελληνικά Русский עברית العربية हिन्दी 中文 日本語 한국어 🎉"));
    QTest::newRow("SQL look-alikes") << "Text" << QVariant(QStringLiteral("'); DROP TABLE \"Speeches\"; -- \\ \\' $1 ? $$ \"\""));
    QTest::newRow("large integer") << "Number" << QVariant(qint64(-9007199254740993));
    QTest::newRow("null integer") << "Number" << QVariant();
    QTest::newRow("real") << "Real" << QVariant(0.1);
}

void tst_PostgresDatabase::valuesRoundTrip()
{
    QFETCH(QString, columnName);
    QFETCH(QVariant, value);
    const qint64 id = insertRow(*m_db, QStringLiteral("INSERT INTO \"Values\" (\"%1\") VALUES (?) RETURNING \"ID\"").arg(columnName), {value});
    const std::unique_ptr<DatabaseStatement> read =
        m_db->prepare(QStringLiteral("SELECT \"%1\" FROM \"Values\" WHERE \"ID\" = ?").arg(columnName));
    read->bind(1, id);
    QVERIFY(read->step());
    const QVariant stored = read->columnValue(0);
    QCOMPARE(stored.isNull(), value.isNull());
    QCOMPARE(stored, value.isNull() ? QVariant() : value);
    QVERIFY(!read->step());
}

void tst_PostgresDatabase::textWithNulIsRefused()
{
    const std::unique_ptr<DatabaseStatement> insert = m_db->prepare(QStringLiteral("INSERT INTO \"Values\" (\"Text\") VALUES (?)"));
    try {
        insert->bind(1, QString(QStringLiteral("before") + QChar(u'\0') + QStringLiteral("after")));
        QFAIL("a text with a NUL character was taken");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QLatin1String("NUL")), qPrintable(error.message()));
    }
}

void tst_PostgresDatabase::placeholdersOutsideLiteralsOnly_data()
{
    QTest::addColumn<QString>("common");
    QTest::addColumn<QString>("server"); // empty: refused
    QTest::newRow("plain") << "SELECT * FROM t WHERE a = ? AND b = ?" << "SELECT * FROM t WHERE a = $1 AND b = $2";
    QTest::newRow("in a string") << "SELECT '?', 'it''s ?', ?" << "SELECT '?', 'it''s ?', $1";
    QTest::newRow("in a quoted name") << R"(SELECT "a?""?" FROM t WHERE ? = 1)" << R"(SELECT "a?""?" FROM t WHERE $1 = 1)";
    QTest::newRow("escape string") << R"(SELECT E'\'?', ?)" << R"(SELECT E'\'?', $1)";
    QTest::newRow("comments") << "SELECT ? -- ?\n, /* ? /* ? */ ? */ ?" << "SELECT $1 -- ?\n, /* ? /* ? */ ? */ $2";
    QTest::newRow("dollar quotes") << "SELECT $x$ ? $$ ? $x$, ?" << "SELECT $x$ ? $$ ? $x$, $1";
    QTest::newRow("dollar inside a name") << "SELECT a$1, ?" << "SELECT a$1, $1";
    QTest::newRow("own parameter") << "SELECT $1" << "";
    QTest::newRow("unclosed string") << "SELECT '?" << "";
    QTest::newRow("unclosed name") << "SELECT \"?" << "";
    QTest::newRow("unclosed comment") << "SELECT /* ?" << "";
    QTest::newRow("unclosed dollar quote") << "SELECT $q$ ?" << "";
}

void tst_PostgresDatabase::placeholdersOutsideLiteralsOnly()
{
    QFETCH(QString, common);
    QFETCH(QString, server);
    try {
        const PostgresPlaceholders translated = PostgresPlaceholders::translate(common);
        QCOMPARE(QString::fromUtf8(translated.sql), server);
    } catch (const EDatabaseError &error) {
        QVERIFY2(server.isEmpty(), qPrintable(error.message()));
    }
}

void tst_PostgresDatabase::placeholdersInLiteralsStayText()
{
    const std::unique_ptr<DatabaseStatement> select =
        m_db->prepare(QStringLiteral("SELECT '?' AS \"q?\", 'it''s ?' AS \"?\", ? AS \"n\""));
    QCOMPARE(select->columnCount(), 3);
    QCOMPARE(select->columnName(0), QStringLiteral("q?"));
    select->bind(1, QStringLiteral("$1"));
    QVERIFY(select->step());
    QCOMPARE(select->columnValue(0), QVariant(QStringLiteral("?")));
    QCOMPARE(select->columnValue(1), QVariant(QStringLiteral("it's ?")));
    QCOMPARE(select->columnValue(2), QVariant(QStringLiteral("$1")));
}

void tst_PostgresDatabase::changesAndRollback()
{
    m_db->begin();
    const qint64 id = insertRow(*m_db, QStringLiteral("INSERT INTO \"Values\" (\"Text\") VALUES (?) RETURNING \"ID\""),
                                {QStringLiteral("gone")});
    const std::unique_ptr<DatabaseStatement> update =
        m_db->prepare(QStringLiteral("UPDATE \"Values\" SET \"Number\" = 7 WHERE \"ID\" >= ?"));
    update->bind(1, id);
    QVERIFY(!update->step());
    QCOMPARE(update->changes(), 1);
    m_db->rollback();
    QCOMPARE(column(*m_db, QStringLiteral("SELECT count(*) FROM \"Values\" WHERE \"ID\" = ?"), {id}).value(0), QVariant(qint64(0)));

    m_db->begin();
    insertRow(*m_db, QStringLiteral("INSERT INTO \"Values\" (\"Text\") VALUES (?) RETURNING \"ID\""), {QStringLiteral("kept")});
    m_db->commit();
    QCOMPARE(column(*m_db, QStringLiteral("SELECT count(*) FROM \"Values\" WHERE \"Text\" = 'kept'")).value(0), QVariant(qint64(1)));

    // A transaction with a failed statement in it stores nothing, and says so.
    m_db->begin();
    insertRow(*m_db, QStringLiteral("INSERT INTO \"Values\" (\"Text\") VALUES (?) RETURNING \"ID\""), {QStringLiteral("half")});
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, insertRow(*m_db, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES (?) RETURNING \"ID\""),
                                                      {QString(51, QLatin1Char('x'))}));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_db->commit());
    m_db->rollback();
    QCOMPARE(column(*m_db, QStringLiteral("SELECT count(*) FROM \"Values\" WHERE \"Text\" = 'half'")).value(0), QVariant(qint64(0)));
}

void tst_PostgresDatabase::tableColumnsGiveSizes()
{
    const auto described = [&](const QString &table) {
        QStringList columns;
        for (const TableColumn &c : m_db->tableColumns(table))
            columns.append(QStringLiteral("%1 %2").arg(c.name).arg(c.declaredSize));
        return columns.join(QStringLiteral(", "));
    };
    QCOMPARE(described(QStringLiteral("taal")), QStringLiteral("ID 0, Taal 50"));
    QCOMPARE(described(QStringLiteral("SPEECHES")), QStringLiteral("ID 0, TaalID 0, Keywords 50, Tekst 0, Comments 0"));
}

void tst_PostgresDatabase::copiedIdsAreNotGivenAgain()
{
    const QString insert = QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES ('Copied') RETURNING \"ID\"");
    const qint64 copied = insertRow(*m_db, QStringLiteral("INSERT INTO \"Taal\" (\"ID\", \"Taal\") VALUES (1000, 'Copied') RETURNING \"ID\""), {});
    PostgresSchema::continueIdsAfterCopy(*m_db, 0, 0);
    QCOMPARE(insertRow(*m_db, insert, {}), copied + 1);
    column(*m_db, QStringLiteral("DELETE FROM \"Taal\" WHERE \"ID\" > ?"), {m_second});
    QCOMPARE(insertRow(*m_db, insert, {}), copied + 2); // never given twice, even after a delete
    column(*m_db, QStringLiteral("DELETE FROM \"Taal\" WHERE \"ID\" > ?"), {m_second});
}

void tst_PostgresDatabase::languageOrderIsIcuRootOrder()
{
    const QStringList names = {QStringLiteral("Zulu"),     QStringLiteral("Ελληνικά"), QStringLiteral("Dansk"),
                               QStringLiteral("afrikaans"), QStringLiteral("Čeština"), QStringLiteral("Deutsch"),
                               QStringLiteral("Cymraeg"),  QStringLiteral("deutsch"), QStringLiteral("Русский"),
                               QStringLiteral("Ærø"),      QStringLiteral("Öl"),      QStringLiteral("Oz")};
    m_db->session().execute(R"(CREATE TEMPORARY TABLE "Names" ("Name" text))");
    for (const QString &name : names)
        column(*m_db, QStringLiteral("INSERT INTO \"Names\" VALUES (?)"), {name});
    QStringList fromServer;
    for (const QVariant &name : column(*m_db, QStringLiteral("SELECT \"Name\" FROM \"Names\" ORDER BY \"Name\" %1")
                                                  .arg(m_db->textOrderClause())))
        fromServer.append(name.toString());

    UErrorCode status = U_ZERO_ERROR;
    UCollator *root = ucol_open("", &status); // as the program sorts a file
    QVERIFY(U_SUCCESS(status));
    QStringList expected = names;
    std::sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
        return ucol_strcoll(root, reinterpret_cast<const UChar *>(a.utf16()), int32_t(a.size()),
                            reinterpret_cast<const UChar *>(b.utf16()), int32_t(b.size()))
               == UCOL_LESS;
    });
    ucol_close(root);
    QCOMPARE(fromServer, expected);
}

void tst_PostgresDatabase::keywordSearchMatchesLikePattern_data()
{
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<bool>("inSecond");
    QTest::addColumn<int>("hits");
    QTest::newRow("ß in any case") << "STRAẞE" << false << 1;
    QTest::newRow("ss is not ß") << "strasse" << false << 1;
    QTest::newRow("final sigma") << "σοφοσ" << false << 1;
    QTest::newRow("capital sigma") << "ΟΔΟΣ" << false << 1;
    QTest::newRow("final sigma in the keywords") << "ΣΟΦΌΣ" << false << 1;
    QTest::newRow("accents in any case") << "üNICODE ÉT" << false << 1;
    QTest::newRow("cyrillic") << "здравствуйте" << false << 1;
    QTest::newRow("percent") << "str%e" << false << 2;
    QTest::newRow("underscore") << "Stra_e" << false << 1;
    QTest::newRow("runs around wildcards") << "0%_sur" << false << 1;
    QTest::newRow("runs in their order only") << "ße%str" << false << 0;
    QTest::newRow("backslash") << "k\\s" << false << 1;
    QTest::newRow("short run") << "ab" << false << 1;
    QTest::newRow("short runs only") << "a_b" << false << 1;
    QTest::newRow("everything") << "%" << false << 16;
    QTest::newRow("a run in two words of a speech") << "KNI" << false << 2;
    QTest::newRow("a word with a comma") << "ße," << false << 1;
    QTest::newRow("a run over a tab") << "e\tp" << false << 1;
    QTest::newRow("nothing") << "xyz" << false << 0;
    QTest::newRow("cjk") << "のテキ" << false << 1;
    QTest::newRow("only the language asked for") << "straße" << true << 1;
}

void tst_PostgresDatabase::keywordSearchMatchesLikePattern()
{
    QFETCH(QString, searchText);
    QFETCH(bool, inSecond);
    QFETCH(int, hits);
    const int language = int(inSecond ? m_second : m_first);
    const std::optional<Ids> found = search(*m_db, searchText, language);
    QVERIFY(found);
    const Ids expected = expectedHits(*m_db, searchText, language);
    QCOMPARE(*found, expected);
    QCOMPARE(int(found->size()), hits);
}

void tst_PostgresDatabase::otherCommandsAreNoSearch()
{
    QVERIFY(!m_db->findKeywords(SqlCommand::fromJet(DatabaseTexts::SpeechListCommand, m_db->textOrderClause())));
    QVERIFY(!m_db->findKeywords(SqlCommand::fromJet(QStringLiteral("select * from Speeches where Tekst like \"%a%\" and TaalID = 1"), m_db->textOrderClause())));
}

void tst_PostgresDatabase::changeFromAnotherClientIsFound()
{
    PostgresDatabase other(m_dataSource, nullptr);
    other.begin();
    const qint64 added = addSpeech(other, m_first, QStringLiteral("Neuigkeit"));
    QCOMPARE(search(*m_db, QStringLiteral("neuigkeit"), int(m_first)), std::optional(Ids{}));
    other.commit();
    QCOMPARE(search(*m_db, QStringLiteral("neuigkeit"), int(m_first)), std::optional(Ids{added}));

    // Written outside a transaction, by a statement of its own: taken in at the next search.
    column(other, QStringLiteral("UPDATE \"Speeches\" SET \"Keywords\" = 'Altigkeit' WHERE \"ID\" = ?"), {added});
    QCOMPARE(search(*m_db, QStringLiteral("neuigkeit"), int(m_first)), std::optional(Ids{}));
    QCOMPARE(search(*m_db, QStringLiteral("ALTIGKEIT"), int(m_first)), std::optional(Ids{added}));
    column(other, QStringLiteral("UPDATE \"Speeches\" SET \"TaalID\" = ? WHERE \"ID\" = ?"), {m_second, added});
    QCOMPARE(search(*m_db, QStringLiteral("altigkeit"), int(m_first)), std::optional(Ids{}));
    QCOMPARE(search(*m_db, QStringLiteral("altigkeit"), int(m_second)), std::optional(Ids{added}));
    column(other, QStringLiteral("DELETE FROM \"Speeches\" WHERE \"ID\" = ?"), {added});
    QCOMPARE(search(*m_db, QStringLiteral("altigkeit"), int(m_second)), std::optional(Ids{}));
}

// A library made by an earlier build gets the words of its keywords at its first open, built
// in batches beside others' changes; its searches are right before, during and after.
void tst_PostgresDatabase::earlierLibraryGetsKeywordWords()
{
    const QString dataSource = m_server.createDatabase(QStringLiteral("earlier"));
    QVERIFY2(!dataSource.isEmpty(), qPrintable(m_server.error()));
    std::vector<qint64> ids;
    {
        PostgresDatabase made(dataSource, nullptr);
        PostgresSchema::create(made);
        made.session().execute(R"(DROP FUNCTION "TinlarkKeywordWordsKept"() CASCADE; )"
                               R"(DROP TABLE "TinlarkKeywordWords", "TinlarkKeywordPostings", "TinlarkKeywordWordState")");
        for (const char *keywords : {"kniha", "knihovna kniha", "jiné", "kniha 2", "konec"})
            ids.push_back(addSpeech(made, 1, QString::fromUtf8(keywords)));
    }
    PostgresDatabase db(dataSource, nullptr);
    const auto searchesAreRight = [&] {
        for (const QString &text : {QStringLiteral("kniha"), QStringLiteral("NIH"), QStringLiteral("jin")})
            QCOMPARE(search(db, text, 1), std::optional(expectedHits(db, text, 1)));
    };
    QVERIFY(db.wordIndex()->incomplete());
    searchesAreRight();
    QVERIFY(!db.wordIndex()->buildBatch(2).complete);
    // One speech the words hold already, one they do not yet.
    column(db, QStringLiteral("UPDATE \"Speeches\" SET \"Keywords\" = 'jinak' WHERE \"ID\" = ?"), {ids[1]});
    column(db, QStringLiteral("UPDATE \"Speeches\" SET \"Keywords\" = 'kniha' WHERE \"ID\" = ?"), {ids[4]});
    while (!db.wordIndex()->buildBatch(2).complete) {
    }
    QVERIFY(!db.wordIndex()->incomplete());
    searchesAreRight();
    // Folded keywords changed in place, as another tool might: the words follow.
    column(db, QStringLiteral("UPDATE \"TinlarkKeywordFolded\" SET \"Folded\" = 'nihil' WHERE \"ID\" = ?"), {ids[0]});
    QCOMPARE(search(db, QStringLiteral("nihil"), 1), std::optional(Ids{ids[0]}));
    QCOMPARE(search(db, QStringLiteral("kniha"), 1), std::optional(Ids{ids[3], ids[4]}));
}

void tst_PostgresDatabase::waitForAnotherWriterIsTold()
{
    PostgresDatabase holder(m_dataSource, nullptr);
    holder.begin();
    const qint64 id = insertRow(holder, QStringLiteral("INSERT INTO \"Values\" (\"Text\") VALUES ('held') RETURNING \"ID\""), {});
    holder.commit();
    holder.begin();
    column(holder, QStringLiteral("UPDATE \"Values\" SET \"Number\" = 1 WHERE \"ID\" = ?"), {id});
    int told = 0;
    // Told while it waits, the user lets the other writer go.
    PostgresDatabase waiting(m_dataSource, [&] {
        ++told;
        holder.rollback();
    });
    waiting.session().execute("SET lock_timeout = '20s'"); // a waiting that is never told fails
    const std::unique_ptr<DatabaseStatement> update = waiting.prepare(QStringLiteral("UPDATE \"Values\" SET \"Number\" = 2 WHERE \"ID\" = ?"));
    update->bind(1, id);
    update->step();
    QCOMPARE(update->changes(), 1);
    QCOMPARE(told, 1);
}

void tst_PostgresDatabase::unreachableServerIsNamedWithoutPassword_data()
{
    QTest::addColumn<QString>("dataSource");
    QTest::addColumn<QString>("server");
    QTest::newRow("no server") << "postgresql://clerk:Pa55w0rdXyz@/library?host=/nonexistent&port=5999"
                               << "/nonexistent:5999/library as clerk";
    QTest::newRow("no such database") << QStringLiteral("postgresql://%1:Pa55w0rdXyz@/nowhere?host=%2")
                                             .arg(PostgresServer::user(), m_server.socketFolder())
                                      << QStringLiteral("/nowhere as %1").arg(PostgresServer::user());
}

void tst_PostgresDatabase::unreachableServerIsNamedWithoutPassword()
{
    QFETCH(QString, dataSource);
    QFETCH(QString, server);
    try {
        PostgresDatabase db(dataSource, nullptr);
        QFAIL("an unreachable database was opened");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().startsWith(QLatin1String("Cannot open the database on the server ")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(server), qPrintable(error.message()));
        QVERIFY2(!error.message().contains(QLatin1String("Pa55w0rdXyz")), qPrintable(error.message()));
    }
}

void tst_PostgresDatabase::lostConnectionIsReportedAndReconnected()
{
    PostgresDatabase killer(m_dataSource, nullptr);
    const auto terminate = [&](Database &victim) {
        column(killer, QStringLiteral("SELECT pg_terminate_backend(?)"), {backendOf(victim)});
    };
    const auto failsAsLost = [](const std::function<void()> &use) {
        try {
            use();
        } catch (const EDatabaseError &error) {
            return error.message().contains(QLatin1String("connection to the server"))
                   && error.message().contains(QLatin1String("lost"));
        }
        return false;
    };
    const std::unique_ptr<DatabaseStatement> count =
        m_db->prepare(QStringLiteral("SELECT count(*) FROM \"Values\" WHERE \"Text\" = 'lost'"));
    const auto stored = [&] {
        count->reset();
        return count->step() ? count->columnValue(0).toLongLong() : -1;
    };

    // A statement prepared before the loss works again at its next use.
    terminate(*m_db);
    QVERIFY(failsAsLost([&] { stored(); }));
    QCOMPARE(stored(), 0);

    // A transaction that lost its connection is never reported as stored, whichever
    // statement found the loss out.
    const std::unique_ptr<DatabaseStatement> insert = m_db->prepare(QStringLiteral("INSERT INTO \"Values\" (\"Text\") VALUES ('lost')"));
    for (const bool foundByCommit : {true, false}) {
        m_db->begin();
        insert->reset();
        insert->step();
        terminate(*m_db);
        if (!foundByCommit)
            QVERIFY(failsAsLost([&] { stored(); }));
        QVERIFY(failsAsLost([&] { m_db->commit(); }));
        m_db->rollback();
        QCOMPARE(stored(), 0);
    }
}

QString tst_PostgresDatabase::hijackedDatabase(const QString &name)
{
    const QString dataSource = m_server.createDatabase(name);
    const QString error = runAsAdministrator(dataSource, HijackedDatabaseSql);
    return error.isEmpty() ? dataSource : error;
}

void tst_PostgresDatabase::othersFunctionsNeverRun()
{
    const QString library = hijackedDatabase(QStringLiteral("hijacked"));
    const QString copyOfIt = hijackedDatabase(QStringLiteral("hijackedcopy"));
    {
        PostgresDatabase db(library, nullptr);
        PostgresSchema::create(db);
        const qint64 language = insertRow(db, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES (?) RETURNING \"ID\""),
                                          {QStringLiteral("Deutsch")});
        db.begin();
        const qint64 speech = addSpeech(db, language, QStringLiteral("Straße"));
        addSpeech(db, language, QVariant());
        db.commit();
        QCOMPARE(db.tableColumns(QStringLiteral("speeches")).size(), 5);
        QCOMPARE(search(db, QStringLiteral("TRAß"), int(language)).value_or(Ids()), Ids{speech});
        // A post names the row by the values it was read with, a NULL among them.
        const auto post = [&](const QVariant &readKeywords) {
            const std::unique_ptr<DatabaseStatement> update = db.prepare(
                QStringLiteral("UPDATE \"Speeches\" SET \"Keywords\" = ? WHERE \"ID\" = ? AND ")
                + db.sameValueCondition(QStringLiteral("\"Keywords\"")));
            update->bind(1, QStringLiteral("Straße neu"));
            update->bind(2, speech);
            update->bind(3, readKeywords);
            update->step();
            return update->changes();
        };
        QCOMPARE(post(QStringLiteral("Strasse")), 0);
        QCOMPARE(post(QVariant()), 0);
        QCOMPARE(post(QStringLiteral("Straße")), 1);
    }
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("copy.csp"));
    QCOMPARE(LibraryCopy::copy(library, file).speeches, 2);
    QCOMPARE(LibraryCopy::copy(file, copyOfIt).speeches, 2);
    QCOMPARE(callsIn(library), QStringList());
    QCOMPARE(callsIn(copyOfIt), QStringList());
}

void tst_PostgresDatabase::unsafeLibraryIsRefused_data()
{
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("named"); // none when the library is used

    const QString admin = PostgresServer::user();
    QTest::newRow("a table of another role") << QByteArray(R"(ALTER TABLE "Speeches" OWNER TO mallory)") << admin
                                             << QStringList{"Speeches", "mallory"};
    QTest::newRow("the keywords' posting lists of another role")
        << QByteArray(R"(ALTER TABLE "TinlarkKeywordPostings" OWNER TO mallory)") << admin
        << QStringList{"TinlarkKeywordPostings", "mallory"};
    QTest::newRow("the trigger's function of another role")
        << QByteArray(R"(ALTER FUNCTION "TinlarkKeywordsChanged"() OWNER TO mallory)") << admin
        << QStringList{"TinlarkKeywordsChanged", "mallory"};
    QTest::newRow("an operator of another role")
        << QByteArray("CREATE OPERATOR public.=== (LEFTARG = text, RIGHTARG = text, FUNCTION = pg_catalog.texteq); "
                      "ALTER OPERATOR public.=== (text, text) OWNER TO mallory")
        << admin << QStringList{"===", "mallory"};
    QTest::newRow("every role may create in its schema") << QByteArray("GRANT CREATE ON SCHEMA public TO PUBLIC") << admin
                                                         << QStringList{"PUBLIC", "REVOKE CREATE ON SCHEMA \"public\""};
    QTest::newRow("another role may create in its schema") << QByteArray("GRANT CREATE ON SCHEMA public TO mallory")
                                                           << admin << QStringList{"mallory", "\"public\""};
    // A team's role owns the database and the library; a member uses it, a stranger does not.
    const QByteArray teamOwnsAll = R"(DO $$ BEGIN EXECUTE format('ALTER DATABASE %I OWNER TO team', current_database()); END $$;
        ALTER TABLE "Taal" OWNER TO team; ALTER TABLE "Speeches" OWNER TO team;
        ALTER TABLE "TinlarkKeywordFolded" OWNER TO team; ALTER TABLE "TinlarkKeywordPending" OWNER TO team;
        ALTER FUNCTION "TinlarkKeywordsChanged"() OWNER TO team; GRANT team TO ann)";
    QTest::newRow("a team member") << teamOwnsAll << "ann" << QStringList();
    QTest::newRow("the superuser, not of the team") << teamOwnsAll << admin
                                                    << QStringList{"owner of the database", "ALTER DATABASE"};
    QTest::newRow("all rights granted to another role") << QByteArray("GRANT ALL ON ALL TABLES IN SCHEMA public TO mallory")
                                                         << admin << QStringList{"mallory holds", "never ALL"};
    QTest::newRow("a writer's rights granted to another role")
        << QByteArray("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO mallory") << admin << QStringList();
    // A database a superuser made, as createdb does: its schema public belongs to pg_database_owner.
    QTest::newRow("a reader of a database a superuser owns")
        << QByteArray("GRANT SELECT ON ALL TABLES IN SCHEMA public TO ann") << "ann" << QStringList();
}

void tst_PostgresDatabase::unsafeLibraryIsRefused()
{
    QFETCH(QByteArray, change);
    QFETCH(QString, user);
    QFETCH(QStringList, named);
    static int databases = 0;
    const QString dataSource = m_server.createDatabase(QStringLiteral("refused%1").arg(++databases));
    QVERIFY2(!dataSource.isEmpty(), qPrintable(m_server.error()));
    PostgresSchema::create(*std::make_unique<PostgresDatabase>(dataSource, nullptr));
    QCOMPARE(runAsAdministrator(dataSource, change), QString());
    try {
        PostgresDatabase db(dataSource + QStringLiteral(" user=") + user, nullptr);
        QVERIFY2(named.isEmpty(), "an unsafe library was opened");
        QCOMPARE(db.tableColumns(QStringLiteral("Speeches")).size(), 5);
    } catch (const EDatabaseError &error) {
        QVERIFY2(!named.isEmpty(), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QLatin1String("is not safe to use")), qPrintable(error.message()));
        for (const QString &name : named)
            QVERIFY2(error.message().contains(name), qPrintable(error.message()));
    }
}

void tst_PostgresDatabase::triggerRunsWithTheLibrarysPath()
{
    const auto pathOfTrigger = [&] {
        return column(*m_db, QStringLiteral("SELECT pg_catalog.array_to_string(proconfig, ';') FROM pg_catalog.pg_proc "
                                            "WHERE proname = 'TinlarkKeywordsChanged'"));
    };
    const QVariantList own{QStringLiteral("search_path=public, pg_catalog, pg_temp")};
    QCOMPARE(pathOfTrigger(), own);
    // As an earlier version made it; mended at the next connection.
    m_db->session().execute(R"(ALTER FUNCTION "TinlarkKeywordsChanged"() RESET search_path)");
    QCOMPARE(pathOfTrigger(), QVariantList{QVariant()});
    PostgresDatabase(m_dataSource, nullptr);
    QCOMPARE(pathOfTrigger(), own);
}

// A role given TRIGGER after the library was opened puts a trigger on Speeches: the next
// transaction is refused before any statement could fire it.
void tst_PostgresDatabase::triggerPlantedWhileOpenNeverRuns()
{
    const QString dataSource = m_server.createDatabase(QStringLiteral("planted"));
    PostgresDatabase db(dataSource, nullptr);
    PostgresSchema::create(db);
    const qint64 language = insertRow(db, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES ('x') RETURNING \"ID\""), {});
    QCOMPARE(runAsAdministrator(dataSource, R"sql(CREATE SCHEMA m AUTHORIZATION mallory;
        GRANT TRIGGER ON "Speeches" TO mallory; GRANT USAGE ON SCHEMA public TO mallory; SET ROLE mallory;
        CREATE FUNCTION m.planted() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN CREATE TABLE m.ran(); RETURN NEW; END $$;
        CREATE TRIGGER planted BEFORE INSERT ON public."Speeches" FOR EACH ROW EXECUTE FUNCTION m.planted())sql"),
             QString());
    try {
        db.begin();
        addSpeech(db, language, QStringLiteral("planted"));
        QFAIL("a transaction began under a planted trigger");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QLatin1String("mallory holds TRIGGER on Speeches")), qPrintable(error.message()));
    }
    QCOMPARE(column(db, QStringLiteral("SELECT pg_catalog.to_regclass('m.ran') IS NULL")), QVariantList{true});
}

// A writer as the README makes one stores speeches, and their versions and copies are kept
// under the writer's name, but the writer can neither add, change nor erase a version or a
// count; a library made by an earlier build gets the same once its owner opens it.
void tst_PostgresDatabase::writerCannotForgeVersionsOrCopies()
{
    const QString dataSource = m_server.createDatabase(QStringLiteral("forged"));
    PostgresSchema::create(*std::make_unique<PostgresDatabase>(dataSource, nullptr));
    QCOMPARE(runAsAdministrator(dataSource, R"sql(CREATE ROLE wendy LOGIN;
        ALTER FUNCTION "TinlarkKeepVersion"() SECURITY INVOKER; DROP FUNCTION "TinlarkNoteCopy"(bigint);
        GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO wendy;
        REVOKE INSERT, UPDATE, DELETE ON "SpeechHistory", "SpeechCopies" FROM wendy;
        GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO wendy)sql"),
             QString());
    // Until the owner opens it, the earlier library needs the writer to write its versions.
    QVERIFY(PostgresDatabase(dataSource + QStringLiteral(" user=wendy"), nullptr).readOnlyReason().contains("SpeechHistory"));
    PostgresDatabase(dataSource, nullptr);

    PostgresDatabase wendy(dataSource + QStringLiteral(" user=wendy"), nullptr);
    QCOMPARE(wendy.readOnlyReason(), QString());
    const qint64 language = insertRow(wendy, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES ('x') RETURNING \"ID\""), {});
    const qint64 speech = addSpeech(wendy, language, QStringLiteral("first"));
    column(wendy, QStringLiteral("UPDATE \"Speeches\" SET \"Keywords\" = 'second' WHERE \"ID\" = ?"), {speech});
    column(wendy, wendy.noteCopyCommand(), {speech});
    QCOMPARE(column(wendy, QStringLiteral("SELECT \"Keywords\" || ' by ' || \"ChangedBy\" FROM \"SpeechHistory\"")),
             QVariantList{QStringLiteral("first by wendy")});
    QCOMPARE(column(wendy, QStringLiteral("SELECT \"Copies\" FROM \"SpeechCopies\"")), QVariantList{1});
    for (const QString &forgery : {QStringLiteral("DELETE FROM \"SpeechHistory\""),
                                   QStringLiteral("INSERT INTO \"SpeechHistory\" (\"SpeechID\", \"Change\", \"ChangedAt\", "
                                                  "\"ChangedBy\") VALUES (1, 'edit', '2026-01-01', 'anna')"),
                                   QStringLiteral("UPDATE \"SpeechCopies\" SET \"Copies\" = 1000")}) {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, column(wendy, forgery));
    }
    // One who may only read counts nothing.
    QCOMPARE(runAsAdministrator(dataSource, "GRANT SELECT ON ALL TABLES IN SCHEMA public TO ann"), QString());
    PostgresDatabase reader(dataSource + QStringLiteral(" user=ann"), nullptr);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, column(reader, reader.noteCopyCommand(), {speech}));
    QCOMPARE(column(wendy, QStringLiteral("SELECT \"Copies\" FROM \"SpeechCopies\"")), QVariantList{1});
}

// The README's team: a role owns the database and the library, its members use it; a member
// who inherits none of its rights reads or writes as granted; a stranger is refused.
void tst_PostgresDatabase::teamRecipesWorkAsWritten()
{
    const QString dataSource = m_server.createDatabase(QStringLiteral("teamlib"));
    QCOMPARE(runAsAdministrator(dataSource, R"sql(CREATE ROLE anna LOGIN; CREATE ROLE ben LOGIN;
        CREATE ROLE speechteam;
        ALTER DATABASE teamlib OWNER TO speechteam;
        GRANT speechteam TO anna, ben;
        CREATE ROLE rita LOGIN NOINHERIT; CREATE ROLE walt LOGIN NOINHERIT; CREATE ROLE olga LOGIN;
        GRANT speechteam TO rita, walt)sql"),
             QString());
    PostgresSchema::create(*std::make_unique<PostgresDatabase>(
        dataSource + QStringLiteral(" user=anna options='-c role=speechteam'"), nullptr));
    QCOMPARE(runAsAdministrator(dataSource + QStringLiteral(" user=anna options='-c role=speechteam'"), R"sql(
        GRANT SELECT ON ALL TABLES IN SCHEMA public TO rita, olga;
        GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO walt;
        REVOKE INSERT, UPDATE, DELETE ON "SpeechHistory", "SpeechCopies" FROM walt;
        GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO walt)sql"),
             QString());
    for (const auto &[user, writes] : {std::pair{"ben", true}, {"walt", true}, {"rita", false}}) {
        PostgresDatabase db(dataSource + QStringLiteral(" user=") + QLatin1String(user), nullptr);
        QCOMPARE(db.readOnlyReason().isEmpty(), writes);
        if (writes)
            QVERIFY(insertRow(db, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES (?) RETURNING \"ID\""),
                              {QLatin1String(user)}) > 0);
    }
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, PostgresDatabase(dataSource + QStringLiteral(" user=olga"), nullptr));
}

// Anyone who may connect can notify on the library's channel: a role that may not change the
// library is not believed, and a writer's flood reaches the program as one change.
void tst_PostgresDatabase::noticesOnlyFromWritersAndMerged()
{
    PostgresDatabase db(m_dataSource, nullptr);
    std::vector<QString> told;
    db.watchChanges([&told](const DatabaseChange &change) {
        told.push_back(QStringLiteral("%1 %2 %3").arg(change.table, change.kind, change.key ? QString::number(*change.key) : "*"));
    });
    const QString channel = column(db, QString::fromLatin1(PostgresChangeNotice::channelQuery())).value(0).toString();
    QCOMPARE(runAsAdministrator(m_dataSource, "CREATE ROLE spoofer LOGIN"), QString());
    const auto notify = [&channel](PGconn *sender, const char *payloads) {
        const QByteArray sql = QStringLiteral("SELECT pg_notify('%1', p) FROM pg_catalog.unnest(%2::text[]) p")
                                   .arg(channel, QLatin1String(payloads)).toUtf8();
        PGresult *result = PQexec(sender, sql.constData());
        QCOMPARE(PQresultStatus(result), PGRES_TUPLES_OK);
        PQclear(result);
    };
    // The senders stay connected until they are heard, as the program's own users do.
    const std::unique_ptr<PGconn, decltype(&PQfinish)> spoofer(
        PQconnectdb((m_dataSource + QStringLiteral(" user=spoofer")).toUtf8().constData()), PQfinish);
    const std::unique_ptr<PGconn, decltype(&PQfinish)> writer(PQconnectdb(m_dataSource.toUtf8().constData()), PQfinish);
    notify(spoofer.get(), "'{\"Speeches delete 1\"}'");
    notify(writer.get(), "(SELECT pg_catalog.array_agg('Speeches update ' || i) FROM pg_catalog.generate_series(1, 50) i)");
    QTRY_VERIFY(!told.empty());
    QTest::qWait(1500);
    QCOMPARE(told, std::vector<QString>{QStringLiteral("Speeches update *")});
}

void tst_PostgresDatabase::networkServerMustProveItself_data()
{
    QTest::addColumn<QString>("connection"); // what follows host=
    QTest::addColumn<QString>("refusal"); // empty when the connection is made

    QTest::newRow("no certificate to check the server's against") << "localhost" << "root certificate";
    QTest::newRow("the server's certificate checked") << "localhost sslrootcert=%1" << QString();
    QTest::newRow("a certificate for another name") << "127.0.0.1 sslrootcert=%1" << "does not match host name";
    QTest::newRow("verification given up by the string") << "localhost sslmode=require" << QString();
}

void tst_PostgresDatabase::networkServerMustProveItself()
{
    QFETCH(QString, connection);
    QFETCH(QString, refusal);
    if (!m_tlsServer) {
        m_tlsServer = std::make_unique<PostgresServer>();
        QVERIFY2(m_tlsServer->start(PostgresServer::Writes::Unsynced, PostgresServer::Network::TlsOnLocalhost),
                 qPrintable(m_tlsServer->error()));
        QVERIFY(!m_tlsServer->createDatabase(QStringLiteral("speeches")).isEmpty());
    }
    const QString dataSource = QStringLiteral("dbname=speeches user=%1 password=%2 port=%3 host=%4")
                                   .arg(PostgresServer::user(), PostgresServer::password())
                                   .arg(m_tlsServer->tcpPort())
                                   .arg(QString(connection).replace(QLatin1String("%1"), m_tlsServer->certificate()));
    try {
        PostgresDatabase db(dataSource, nullptr);
        QVERIFY2(refusal.isEmpty(), "an unverified server was used");
        QCOMPARE(column(db, QStringLiteral("SELECT ssl FROM pg_catalog.pg_stat_ssl WHERE pid = pg_backend_pid()")),
                 QVariantList{1});
    } catch (const EDatabaseError &error) {
        QVERIFY2(!refusal.isEmpty(), qPrintable(error.message()));
        QVERIFY2(error.message().contains(refusal), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QLatin1String("sslmode=verify-full")), qPrintable(error.message()));
        // Refused on this machine, the user learns the way that needs no certificate.
        QVERIFY2(error.message().contains(QLatin1String("local socket: postgresql:///speeches")), qPrintable(error.message()));
        QVERIFY2(!error.message().contains(PostgresServer::password()), qPrintable(error.message()));
    }
}

void tst_PostgresDatabase::serverNoticeCannotSteerTheTerminal()
{
    QTemporaryFile capture;
    QVERIFY(capture.open());
    std::fflush(stderr);
    const int errorOutput = ::dup(2);
    ::dup2(capture.handle(), 2);
    m_db->session().execute(R"(DO $$ BEGIN RAISE NOTICE '%', E'\x1b]0;owned\x07\x1b[2Jcleared'; END $$)");
    std::fflush(stderr);
    ::dup2(errorOutput, 2);
    ::close(errorOutput);
    QFile written(capture.fileName());
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray shown = written.readAll();
    QVERIFY2(shown.contains("NOTICE:") && shown.contains("]0;owned") && shown.contains("[2Jcleared"), shown.constData());
    QVERIFY2(!shown.contains('\x1b') && !shown.contains('\x07'), shown.constData());
}

void tst_PostgresDatabase::changeNoticesAreReadStrictly_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("read"); // table|kind|key, empty when the payload is not taken
    QTest::newRow("one speech") << QByteArray("Speeches update 12") << "Speeches|update|12";
    QTest::newRow("several languages") << QByteArray("Taal delete *") << "Taal|delete|";
    QTest::newRow("unknown kind") << QByteArray("Speeches truncate 1") << "";
    QTest::newRow("key not a number") << QByteArray("Speeches insert 1x") << "";
    QTest::newRow("key out of range") << QByteArray("Speeches insert 99999999999999999999") << "";
    QTest::newRow("too many parts") << QByteArray("Speeches insert 1 2") << "";
    QTest::newRow("empty") << QByteArray() << "";
}

// Anyone who may connect can send on the library's channel: what the program does not send is ignored.
void tst_PostgresDatabase::changeNoticesAreReadStrictly()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, read);
    const std::optional<DatabaseChange> change = PostgresChangeListener::parse(payload);
    QCOMPARE(change ? QStringLiteral("%1|%2|%3").arg(change->table, change->kind,
                                                     change->key ? QString::number(*change->key) : QString())
                    : QString(),
             read);
}

TINLARK_TEST_MAIN(tst_PostgresDatabase)
#include "tst_PostgresDatabase.moc"
