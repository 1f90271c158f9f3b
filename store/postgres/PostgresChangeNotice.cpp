#include "PostgresChangeNotice.h"

#include "PostgresSession.h"

namespace {

// One channel per library: libraries in several schemas of one database are told apart by the
// schema's number. A statement changes a table once however many rows it touches, so that a
// large import sends one notification, not one a row.
const char *const ChannelSql = "SELECT pg_catalog.concat('tinlark_', n.oid) FROM pg_catalog.pg_namespace n "
                               "WHERE n.nspname OPERATOR(pg_catalog.=) pg_catalog.current_schema()";

const char *const CreateSql = R"sql(
CREATE FUNCTION "TinlarkTellChange"() RETURNS trigger LANGUAGE plpgsql SET search_path FROM CURRENT AS $body$
DECLARE
  changed bigint;
  first bigint;
BEGIN
  IF TG_OP OPERATOR(pg_catalog.=) 'DELETE' THEN
    SELECT pg_catalog.count(*), pg_catalog.min(o."ID") INTO changed, first FROM old_rows o;
  ELSE
    SELECT pg_catalog.count(*), pg_catalog.min(n."ID") INTO changed, first FROM new_rows n;
  END IF;
  IF changed OPERATOR(pg_catalog.>) 0 THEN
    PERFORM pg_catalog.pg_notify((%1), pg_catalog.concat_ws(' ', TG_TABLE_NAME, pg_catalog.lower(TG_OP),
      CASE WHEN changed OPERATOR(pg_catalog.=) 1 THEN first::pg_catalog.text ELSE '*' END));
  END IF;
  RETURN NULL;
END
$body$;
)sql";

const char *const TriggersSql = R"sql(
CREATE TRIGGER "TinlarkTellInsert" AFTER INSERT ON "%1" REFERENCING NEW TABLE AS new_rows
  FOR EACH STATEMENT EXECUTE FUNCTION "TinlarkTellChange"();
CREATE TRIGGER "TinlarkTellUpdate" AFTER UPDATE ON "%1" REFERENCING NEW TABLE AS new_rows
  FOR EACH STATEMENT EXECUTE FUNCTION "TinlarkTellChange"();
CREATE TRIGGER "TinlarkTellDelete" AFTER DELETE ON "%1" REFERENCING OLD TABLE AS old_rows
  FOR EACH STATEMENT EXECUTE FUNCTION "TinlarkTellChange"();
)sql";

} // namespace

namespace PostgresChangeNotice {

void create(PostgresSession &session)
{
    session.execute(QString::fromLatin1(CreateSql).arg(QString::fromLatin1(ChannelSql)).toUtf8());
    for (const char *table : {"Speeches", "Taal"})
        session.execute(QString::fromLatin1(TriggersSql).arg(QLatin1String(table)).toUtf8());
}

QByteArray channelQuery()
{
    return ChannelSql;
}

} // namespace PostgresChangeNotice
