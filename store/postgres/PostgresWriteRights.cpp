#include "PostgresWriteRights.h"

#include "PostgresCopyCounts.h"
#include "PostgresHistory.h"
#include "PostgresSession.h"

#include <QHash>
#include <QStringList>

namespace {

// Every right a post, a delete or a language change needs, the triggers' included; the
// sequences that give IDs out. Names resolve in the library's schema, as the program's do.
// The versions and the copy counts are written by the library's owner's functions where the
// library has them: a writer then only reads them.
const char *const MissingRightsSql = R"sql(
SELECT w.name, w.privilege FROM (VALUES
  ('Speeches', 'SELECT'), ('Speeches', 'INSERT'), ('Speeches', 'UPDATE'), ('Speeches', 'DELETE'),
  ('Taal', 'SELECT'), ('Taal', 'INSERT'), ('Taal', 'UPDATE'), ('Taal', 'DELETE'),
  ('SpeechHistory', 'SELECT'), ('SpeechHistory', 'INSERT'), ('SpeechHistory', 'DELETE'),
  ('TinlarkHistoryLimit', 'SELECT'),
  ('TinlarkKeywordFolded', 'INSERT'), ('TinlarkKeywordFolded', 'UPDATE'), ('TinlarkKeywordFolded', 'DELETE'),
  ('TinlarkKeywordPending', 'INSERT'), ('TinlarkKeywordPending', 'DELETE'),
  ('TinlarkWords', 'INSERT'), ('TinlarkWords', 'UPDATE'), ('TinlarkWords', 'DELETE'),
  ('TinlarkWordPending', 'INSERT'), ('TinlarkWordPending', 'DELETE'),
  ('SpeechCopies', 'SELECT'), ('SpeechCopies', 'INSERT'), ('SpeechCopies', 'UPDATE')) AS w(name, privilege)
WHERE pg_catalog.to_regclass(pg_catalog.quote_ident(w.name)) IS NOT NULL
  AND NOT pg_catalog.has_table_privilege(pg_catalog.to_regclass(pg_catalog.quote_ident(w.name)), w.privilege)
  AND NOT (w.name OPERATOR(pg_catalog.=) 'SpeechHistory' AND w.privilege OPERATOR(pg_catalog.<>) 'SELECT' AND %1)
  AND NOT (w.name OPERATOR(pg_catalog.=) 'SpeechCopies' AND w.privilege OPERATOR(pg_catalog.<>) 'SELECT' AND %2)
UNION ALL
SELECT s.name, 'USAGE' FROM (VALUES ('Speeches'), ('Taal')) AS s(name)
WHERE pg_catalog.to_regclass(pg_catalog.quote_ident(s.name)) IS NOT NULL
  AND pg_catalog.pg_get_serial_sequence(pg_catalog.quote_ident(s.name), 'ID') IS NOT NULL
  AND NOT pg_catalog.has_sequence_privilege(pg_catalog.pg_get_serial_sequence(pg_catalog.quote_ident(s.name), 'ID'), 'USAGE')
)sql";

} // namespace

namespace PostgresWriteRights {

QString missing(PostgresSession &session)
{
    const PostgresResult readOnly = session.execute("SELECT pg_catalog.current_setting('transaction_read_only')");
    if (qstrcmp(PQgetvalue(readOnly.get(), 0, 0), "on") == 0)
        return QStringLiteral("the %1 takes no changes (a standby, or set to read only)").arg(session.describe());
    const PostgresResult result = session.execute(QString::fromLatin1(MissingRightsSql)
                                                      .arg(QLatin1String(PostgresHistory::KeptAsOwnerCondition),
                                                           QLatin1String(PostgresCopyCounts::CountedByOwnerCondition))
                                                      .toUtf8());
    // One grant a table, in the order the tables come: what the library's owner types.
    QStringList tables;
    QHash<QString, QStringList> rightsOf;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        const QString table = QString::fromUtf8(PQgetvalue(result.get(), row, 0));
        const QString right = QString::fromUtf8(PQgetvalue(result.get(), row, 1));
        if (!rightsOf.contains(table))
            tables.append(table);
        rightsOf[table].append(right == QLatin1String("USAGE") ? QStringLiteral("USAGE on the sequence of its IDs") : right);
    }
    if (tables.isEmpty())
        return QString();
    QStringList grants;
    for (const QString &table : tables)
        grants.append(QStringLiteral("%1 on %2").arg(rightsOf[table].join(QStringLiteral(", ")), table));
    return QStringLiteral("the %1 does not let this user store changes. The library's owner can grant: %2")
        .arg(session.describe(), grants.join(QStringLiteral("; ")));
}

} // namespace PostgresWriteRights
