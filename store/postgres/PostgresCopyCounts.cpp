#include "PostgresCopyCounts.h"

#include "PostgresSession.h"

namespace {

const char *const CreateSql = R"sql(
CREATE FUNCTION "TinlarkNoteCopy"(speech pg_catalog.int8) RETURNS void LANGUAGE plpgsql SECURITY DEFINER
  SET search_path FROM CURRENT AS $body$
BEGIN
  IF NOT pg_catalog.has_table_privilege(SESSION_USER, pg_catalog.to_regclass('"Speeches"'), 'UPDATE') THEN
    RAISE insufficient_privilege USING MESSAGE = 'only a user who may change speeches counts copies';
  END IF;
  INSERT INTO "SpeechCopies" ("SpeechID", "Copies", "LastCopied")
    SELECT s."ID", 1, pg_catalog.to_char(pg_catalog.timezone('UTC', pg_catalog.clock_timestamp()), 'YYYY-MM-DD HH24:MI:SS.MS')
    FROM "Speeches" s WHERE s."ID" OPERATOR(pg_catalog.=) speech
  ON CONFLICT ("SpeechID") DO UPDATE SET "Copies" = "SpeechCopies"."Copies" OPERATOR(pg_catalog.+) 1,
    "LastCopied" = excluded."LastCopied";
END
$body$;
)sql";

} // namespace

namespace PostgresCopyCounts {

void create(PostgresSession &session)
{
    session.execute(CreateSql);
}

const char *noteCopyCommand(PostgresSession &session)
{
    const PostgresResult counted = session.execute(QByteArray("SELECT ") + CountedByOwnerCondition);
    if (PQntuples(counted.get()) == 1 && qstrcmp(PQgetvalue(counted.get(), 0, 0), "t") == 0)
        return R"(SELECT "TinlarkNoteCopy"(?))";
    return R"(INSERT INTO "SpeechCopies" ("SpeechID", "Copies", "LastCopied") )"
           R"(SELECT "ID", 1, pg_catalog.to_char(pg_catalog.timezone('UTC', pg_catalog.clock_timestamp()), )"
           R"('YYYY-MM-DD HH24:MI:SS.MS') FROM "Speeches" WHERE "ID" = ? )"
           R"(ON CONFLICT ("SpeechID") DO UPDATE SET "Copies" = "SpeechCopies"."Copies" + 1, )"
           R"("LastCopied" = excluded."LastCopied")";
}

} // namespace PostgresCopyCounts
