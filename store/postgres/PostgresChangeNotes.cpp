#include "PostgresChangeNotes.h"

#include "PostgresSession.h"

#include <QByteArrayList>

namespace {

// Notes taken out at a time, so that however many others left, no result grows without bound.
constexpr int NotesPerBatch = 1000;

// The function runs with the path the library was made with (its schema and the built-ins),
// whoever changes a speech with whatever path.
const char *const CreateSql = R"sql(
CREATE TABLE "%table" ("ID" bigint PRIMARY KEY);
CREATE FUNCTION "%trigger"() RETURNS trigger LANGUAGE plpgsql SET search_path FROM CURRENT AS $body$
BEGIN
  IF TG_OP IN ('UPDATE', 'DELETE') THEN
    INSERT INTO "%table" ("ID") VALUES (OLD."ID") ON CONFLICT DO NOTHING;
  END IF;
  IF TG_OP IN ('UPDATE', 'INSERT') THEN
    INSERT INTO "%table" ("ID") VALUES (NEW."ID") ON CONFLICT DO NOTHING;
  END IF;
  RETURN NULL;
END
$body$;
CREATE TRIGGER "%trigger" AFTER INSERT OR DELETE OR UPDATE OF %columns
  ON "Speeches" FOR EACH ROW EXECUTE FUNCTION "%trigger"();
)sql";

} // namespace

namespace PostgresChangeNotes {

QByteArray createSql(const QByteArray &table, const QByteArray &trigger, const QByteArray &columns)
{
    return QByteArray(CreateSql).replace("%table", table).replace("%trigger", trigger).replace("%columns", columns);
}

void takeOut(PostgresSession &session, const QByteArray &table, const std::function<void(const QByteArray &ids)> &bringInStep)
{
    for (;;) {
        const PostgresResult taken = session.execute(
            R"(DELETE FROM ")" + table + R"(" WHERE "ID" OPERATOR(pg_catalog.=) ANY (ARRAY(SELECT "ID" FROM ")" + table
            + R"(" ORDER BY "ID" LIMIT )" + QByteArray::number(NotesPerBatch) + R"( FOR UPDATE)) RETURNING "ID")");
        if (PQntuples(taken.get()) == 0)
            return;
        QByteArrayList ids;
        for (int row = 0; row < PQntuples(taken.get()); ++row)
            ids.append(PQgetvalue(taken.get(), row, 0));
        bringInStep('{' + ids.join(',') + '}');
    }
}

} // namespace PostgresChangeNotes
