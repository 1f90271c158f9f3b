#include "PostgresHistory.h"

#include "PostgresSession.h"

namespace {

// The function runs as the library's owner, with the path the library was made with, whoever
// changes a speech: a writer needs no right on the versions but to read them, so nobody can
// forge or erase one, and the user recorded is the one logged in (SESSION_USER). Every
// operator it names is the built-in one. Two versions that differ in no column are one
// (composite values compare NULLs as equal). The time is UTC, written as on a file.
const char *const CreateSql = R"sql(
CREATE TABLE "SpeechHistory" (
  "ID" bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  "SpeechID" bigint NOT NULL,
  "TaalID" bigint,
  "Keywords" text,
  "Tekst" text,
  "Comments" text,
  "Change" text NOT NULL,
  "ChangedAt" text NOT NULL,
  "ChangedBy" text
);
CREATE INDEX "SpeechHistoryBySpeech" ON "SpeechHistory" ("SpeechID", "ID");
CREATE INDEX "SpeechHistoryDeletes" ON "SpeechHistory" ("ChangedAt") WHERE "Change" OPERATOR(pg_catalog.=) 'delete';
CREATE TABLE "TinlarkHistoryLimit" ("Versions" integer NOT NULL);
INSERT INTO "TinlarkHistoryLimit" ("Versions") VALUES (20);
CREATE FUNCTION "TinlarkKeepVersion"() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path FROM CURRENT AS $body$
BEGIN
  IF TG_OP OPERATOR(pg_catalog.=) 'UPDATE' AND OLD OPERATOR(pg_catalog.=) NEW THEN
    RETURN NULL;
  END IF;
  INSERT INTO "SpeechHistory" ("SpeechID", "TaalID", "Keywords", "Tekst", "Comments", "Change", "ChangedAt", "ChangedBy")
    VALUES (OLD."ID", OLD."TaalID", OLD."Keywords", OLD."Tekst", OLD."Comments",
            CASE WHEN TG_OP OPERATOR(pg_catalog.=) 'DELETE' THEN 'delete' ELSE 'edit' END,
            pg_catalog.to_char(pg_catalog.timezone('UTC', pg_catalog.clock_timestamp()), 'YYYY-MM-DD HH24:MI:SS.MS'),
            SESSION_USER);
  IF TG_OP OPERATOR(pg_catalog.=) 'UPDATE' THEN
    DELETE FROM "SpeechHistory" WHERE "SpeechID" OPERATOR(pg_catalog.=) OLD."ID"
      AND "ID" OPERATOR(pg_catalog.<=) (SELECT h."ID" FROM "SpeechHistory" h WHERE h."SpeechID" OPERATOR(pg_catalog.=) OLD."ID"
        ORDER BY h."ID" DESC LIMIT 1 OFFSET coalesce((SELECT pg_catalog.max("Versions") FROM "TinlarkHistoryLimit"), 20));
  END IF;
  RETURN NULL;
END
$body$;
CREATE TRIGGER "TinlarkKeepVersion" AFTER UPDATE OR DELETE ON "Speeches" FOR EACH ROW EXECUTE FUNCTION "TinlarkKeepVersion"();
)sql";

} // namespace

namespace PostgresHistory {

void create(PostgresSession &session)
{
    session.execute(CreateSql);
}

void keepAsOwner(PostgresSession &session)
{
    session.execute(R"(ALTER FUNCTION "TinlarkKeepVersion"() SECURITY DEFINER)");
}

} // namespace PostgresHistory
