#include "PostgresWordIndex.h"

#include "EDatabaseError.h"
#include "PostgresChangeNotes.h"
#include "PostgresDatabase.h"
#include "PostgresKeywordWords.h"
#include "PostgresSession.h"
#include "SpeechWords.h"

#include <QSet>

namespace {

const char *const CreateSql = R"sql(
CREATE TABLE IF NOT EXISTS "SpeechCopies" (
  "SpeechID" bigint PRIMARY KEY REFERENCES "Speeches" ("ID") ON DELETE CASCADE ON UPDATE CASCADE,
  "Copies" bigint NOT NULL,
  "LastCopied" text NOT NULL
);
CREATE TABLE "TinlarkWords" (
  "ID" bigint PRIMARY KEY,
  "TaalID" bigint,
  "Words" pg_catalog.tsvector NOT NULL,
  "KeywordWords" pg_catalog.tsvector NOT NULL
);
CREATE INDEX "TinlarkWordsSearch" ON "TinlarkWords" USING gin ("TaalID", "Words");
CREATE INDEX "TinlarkKeywordWordsSearch" ON "TinlarkWords" USING gin ("TaalID", "KeywordWords");
CREATE TABLE "TinlarkWordState" ("BuiltTo" bigint NOT NULL, "Complete" boolean NOT NULL, "Folding" text NOT NULL);
)sql";

// Whether the index's words are folded as SpeechWords folds them now (an earlier build's state
// has no column for it); read as a whole row, so that a state without the column reads too.
const char *const FoldedAsNowSql = R"(pg_catalog.to_jsonb(s) OPERATOR(pg_catalog.->>) 'Folding'::pg_catalog.text )"
                                   R"(OPERATOR(pg_catalog.=) $1::pg_catalog.text)";

QByteArray foldingVersion()
{
    return SpeechWords::foldingVersion().toUtf8();
}

// What an earlier or broken form of the index left, dropped before the index is made anew.
const char *const DropSql = R"sql(
DROP TRIGGER IF EXISTS "TinlarkWordsChanged" ON "Speeches";
DROP FUNCTION IF EXISTS "TinlarkWordsChanged"();
DROP TABLE IF EXISTS "TinlarkWords", "TinlarkWordPending", "TinlarkWordState";
)sql";

// A word quoted as a lexeme of a tsvector or tsquery.
QByteArray lexemeOf(const QString &word)
{
    QByteArray lexeme = word.toUtf8();
    lexeme.replace('\\', "\\\\").replace('\'', "''");
    return '\'' + lexeme + '\'';
}

// What a tsvector holds at most: the server refuses a lexeme longer than 2046 bytes, and a
// vector whose lexemes take more than 1 MiB together; a speech with more words is indexed as
// far as that goes (its first words), so that it never stops the change it came with or another's.
constexpr qsizetype MaxLexemeBytes = 2046;
constexpr qsizetype MaxVectorLexemeBytes = 1000000;

// The words of keywords, text and comments (or of the first columns only) as a tsvector: each
// at one position weighted A, B or C by its column. The server keeps one weight for a word at
// one position, the best (A before B before C): where a word first occurs, which is the one
// kept here too.
QByteArray vectorOf(const PGresult *speeches, int row, int columns)
{
    QByteArrayList lexemes;
    QSet<QString> taken;
    qsizetype bytes = 0;
    const char weights[] = {'A', 'B', 'C'};
    for (int column = 0; column < columns; ++column) {
        const QStringList words = SpeechWords::words(
            QString::fromUtf8(PQgetvalue(speeches, row, 2 + column), PQgetlength(speeches, row, 2 + column)));
        for (const QString &word : words) {
            if (word.toUtf8().size() > MaxLexemeBytes || taken.contains(word))
                continue;
            const QByteArray lexeme = lexemeOf(word) + ":1" + weights[column];
            // Counted as written, quotes and weight included: more than the server counts.
            if (bytes + lexeme.size() + 1 > MaxVectorLexemeBytes)
                return lexemes.join(' ');
            bytes += lexeme.size() + 1;
            taken.insert(word);
            lexemes.append(lexeme);
        }
    }
    return lexemes.join(' ');
}

// Each word a quoted prefix in the weights of the columns, all required: the query is made
// from the words as values, so no text the user typed is read as an operator.
QByteArray queryOf(const QStringList &words, WordIndex::Columns columns)
{
    const QByteArray weights = columns == WordIndex::Columns::KeywordsOrText ? "AB" : "";
    QByteArrayList terms;
    for (const QString &word : words)
        terms.append(lexemeOf(word) + ":*" + weights);
    return terms.join(" & ");
}

const QByteArray AddSql = R"(INSERT INTO "TinlarkWords" ("ID", "TaalID", "Words", "KeywordWords") VALUES )"
                          R"(($1::pg_catalog.int8, $2::pg_catalog.int8, $3::pg_catalog.tsvector, $4::pg_catalog.tsvector))";

// The column that answers for the columns: the keywords' words have an index of their own, so
// that a search whose words no keyword holds does not read every row that holds them.
QByteArray columnFor(WordIndex::Columns columns)
{
    return columns == WordIndex::Columns::Keywords ? R"("KeywordWords")" : R"("Words")";
}

// Adds the speeches of a result of ID, TaalID, Keywords, Tekst, Comments; the ID of the last.
qint64 addAll(PostgresSession &session, const PGresult *speeches)
{
    qint64 last = 0;
    for (int row = 0; row < PQntuples(speeches); ++row) {
        session.execute(AddSql, {QByteArray(PQgetvalue(speeches, row, 0)),
                                 PQgetisnull(speeches, row, 1) ? std::nullopt
                                                               : std::optional(QByteArray(PQgetvalue(speeches, row, 1))),
                                 vectorOf(speeches, row, 3), vectorOf(speeches, row, 1)});
        last = QByteArray(PQgetvalue(speeches, row, 0)).toLongLong();
    }
    return last;
}

bool isTrue(const PostgresResult &result)
{
    return PQntuples(result.get()) == 1 && PQgetvalue(result.get(), 0, 0)[0] == 't';
}

qint64 number(const PostgresResult &result)
{
    return PQntuples(result.get()) == 1 ? QByteArray(PQgetvalue(result.get(), 0, 0)).toLongLong() : 0;
}

const char *const SpeechColumns = R"(SELECT "ID", "TaalID", "Keywords", "Tekst", "Comments" FROM "Speeches" )";

} // namespace

void PostgresWordIndex::create(PostgresSession &session, bool fill)
{
    session.execute(CreateSql);
    session.execute(PostgresChangeNotes::createSql("TinlarkWordPending", "TinlarkWordsChanged",
                                                   R"("ID", "TaalID", "Keywords", "Tekst", "Comments")"));
    session.execute(fill ? R"(INSERT INTO "TinlarkWordState" VALUES (0, true, $1::pg_catalog.text))"
                         : R"(INSERT INTO "TinlarkWordState" VALUES (-9223372036854775808, false, $1::pg_catalog.text))",
                    {foldingVersion()});
    if (fill)
        addAll(session, session.execute(SpeechColumns).get());
}

void PostgresWordIndex::ensure(PostgresSession &session)
{
    try {
        if (isTrue(session.execute(QByteArray(R"(SELECT pg_catalog.to_regclass('"TinlarkWords"') IS NOT NULL AND )"
                                              R"(EXISTS (SELECT FROM "TinlarkWordState" s WHERE )")
                                       + FoldedAsNowSql + ')',
                                   {foldingVersion()})))
            return;
    } catch (const EDatabaseError &) {
        // No index yet: made below.
    }
    // An index of words folded otherwise is made anew too.
    const PostgresResult owner = session.execute(
        R"(SELECT pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(c.relowner)) FROM pg_catalog.pg_class c )"
        R"(WHERE c.oid OPERATOR(pg_catalog.=) pg_catalog.to_regclass('"Speeches"') )"
        R"(AND pg_catalog.pg_has_role(c.relowner, 'MEMBER'))");
    if (PQntuples(owner.get()) != 1)
        return;
    try {
        session.execute("BEGIN");
        // Made as the owner, so that it belongs to whom the library belongs.
        session.execute(QByteArray("SET LOCAL ROLE ") + PQgetvalue(owner.get(), 0, 0));
        session.execute("SET LOCAL client_min_messages = warning");
        session.execute(DropSql);
        create(session, false);
        session.execute("COMMIT");
    } catch (const EDatabaseError &) {
        // A server that takes no changes now leaves it for later; searches read the speeches.
        try {
            session.execute("ROLLBACK");
        } catch (const EDatabaseError &) {
        }
    }
}

void PostgresWordIndex::catchUp(PostgresSession &session)
{
    if (!isTrue(session.execute(R"(SELECT pg_catalog.to_regclass('"TinlarkWordPending"') IS NOT NULL)")))
        return;
    PostgresChangeNotes::takeOut(session, "TinlarkWordPending", [&session](const QByteArray &ids) {
        session.execute(R"(DELETE FROM "TinlarkWords" WHERE "ID" OPERATOR(pg_catalog.=) ANY ($1::pg_catalog.int8[]))", {ids});
        // Beyond what an index being built holds, the building reads the speech as it is then.
        addAll(session, session.execute(SpeechColumns + QByteArray(R"(WHERE "ID" OPERATOR(pg_catalog.=) ANY ($1::pg_catalog.int8[]) )"
                                        R"(AND EXISTS (SELECT 1 FROM "TinlarkWordState" WHERE "Complete" OR )"
                                        R"("ID" OPERATOR(pg_catalog.<=) "BuiltTo"))"),
                                        {ids}).get());
    });
}

bool PostgresWordIndex::ready()
{
    PostgresSession &session = m_database.session();
    try {
        // An index whose words are folded otherwise (one its user may not make anew) finds
        // too little: the speeches are read instead.
        if (!isTrue(session.execute(QByteArray(R"(SELECT pg_catalog.to_regclass('"TinlarkWordState"') IS NOT NULL AND )"
                                               R"((SELECT s."Complete" AND )")
                                        + FoldedAsNowSql + R"( FROM "TinlarkWordState" s LIMIT 1))",
                                    {foldingVersion()})))
            return false;
        // Speeches changed by a client that did not take them in are taken in first.
        if (isTrue(session.execute(R"(SELECT EXISTS (SELECT 1 FROM "TinlarkWordPending"))"))) {
            if (session.transactionStatus() == PQTRANS_INTRANS) {
                catchUp(session);
            } else {
                m_database.begin();
                m_database.commit();
            }
        }
        return true;
    } catch (const EDatabaseError &) {
        return false;
    }
}

std::vector<qint64> PostgresWordIndex::find(const QStringList &words, Columns columns, std::optional<qint64> languageId,
                                            int limit)
{
    PostgresSession::Values values{queryOf(words, columns), QByteArray::number(limit)};
    QByteArray sql = R"(SELECT "ID" FROM "TinlarkWords" WHERE )" + columnFor(columns)
                     + R"( OPERATOR(pg_catalog.@@) $1::pg_catalog.tsquery )";
    if (languageId) {
        sql += R"(AND "TaalID" OPERATOR(pg_catalog.=) $3::pg_catalog.int8 )";
        values.emplace_back(QByteArray::number(*languageId));
    }
    const PostgresResult hits = m_database.session().execute(sql + R"(ORDER BY "ID" LIMIT $2::pg_catalog.int8)", values);
    std::vector<qint64> ids;
    for (int row = 0; row < PQntuples(hits.get()); ++row)
        ids.push_back(QByteArray(PQgetvalue(hits.get(), row, 0)).toLongLong());
    return ids;
}

bool PostgresWordIndex::incomplete()
{
    return isTrue(m_database.session().execute(R"(SELECT pg_catalog.to_regclass('"TinlarkWordState"') IS NOT NULL AND )"
                                                R"(NOT (SELECT "Complete" FROM "TinlarkWordState" LIMIT 1))"))
           || PostgresKeywordWords::incomplete(m_database.session());
}

WordIndex::BuildState PostgresWordIndex::buildBatch(int batchSize)
{
    PostgresSession &session = m_database.session();
    m_database.begin();
    try {
        // Notes made before this batch concern the speeches as the index holds them now.
        catchUp(session);
        const PostgresResult state =
            session.execute(R"(SELECT "BuiltTo", "Complete" FROM "TinlarkWordState" FOR UPDATE)");
        if (PQntuples(state.get()) != 1)
            throw EDatabaseError(QStringLiteral("The library has no word index to build"));
        qint64 builtTo = QByteArray(PQgetvalue(state.get(), 0, 0)).toLongLong();
        bool complete = PQgetvalue(state.get(), 0, 1)[0] == 't';
        if (!complete) {
            const PostgresResult speeches = session.execute(
                SpeechColumns + QByteArray(R"(WHERE "ID" OPERATOR(pg_catalog.>) $1::pg_catalog.int8 ORDER BY "ID" LIMIT $2::pg_catalog.int8)"),
                {QByteArray::number(builtTo), QByteArray::number(batchSize)});
            if (PQntuples(speeches.get()) > 0)
                builtTo = addAll(session, speeches.get());
            complete = PQntuples(speeches.get()) < batchSize;
            session.execute(R"(UPDATE "TinlarkWordState" SET "BuiltTo" = $1::pg_catalog.int8, "Complete" = $2::pg_catalog.bool)",
                            {QByteArray::number(builtTo), QByteArray(complete ? "true" : "false")});
        }
        BuildState built;
        built.total = number(session.execute(R"(SELECT pg_catalog.count(*) FROM "Speeches")"));
        built.indexed = complete ? built.total
                                 : number(session.execute(R"(SELECT pg_catalog.count(*) FROM "Speeches" WHERE "ID" OPERATOR(pg_catalog.<=) $1::pg_catalog.int8)",
                                                          {QByteArray::number(builtTo)}));
        built.complete = complete;
        // The keywords' words of a library made by an earlier build come after the words.
        if (complete && PostgresKeywordWords::incomplete(session))
            built = PostgresKeywordWords::buildBatch(session, batchSize);
        m_database.commit();
        return built;
    } catch (...) {
        m_database.rollback();
        throw;
    }
}
