#include "PostgresLibraryTrust.h"

#include "EDatabaseError.h"
#include "PostgresChangeNotice.h"
#include "PostgresCopyCounts.h"
#include "PostgresHistory.h"
#include "PostgresKeywordWords.h"
#include "PostgresWordIndex.h"
#include "PostgresSession.h"

#include <QStringList>

namespace {

// The roles the user trusts, as a query's first words: the user, the roles the user belongs
// to (such as a team's role that owns the library; a superuser is no member of every role
// here), superusers, and pg_database_owner (the owner of PostgreSQL 15's schema public) when
// the database belongs to one of those: whoever owns the database controls it anyway.
const char *const TrustedRoles = R"sql(WITH RECURSIVE mine(oid) AS (
  SELECT r.oid FROM pg_catalog.pg_roles r WHERE r.rolname OPERATOR(pg_catalog.=) CURRENT_USER
  UNION SELECT m.roleid FROM pg_catalog.pg_auth_members m JOIN mine ON m.member OPERATOR(pg_catalog.=) mine.oid),
trusted(oid) AS (
  SELECT oid FROM mine
  UNION SELECT r.oid FROM pg_catalog.pg_roles r WHERE r.rolsuper
  UNION SELECT r.oid FROM pg_catalog.pg_roles r, pg_catalog.pg_database d
    WHERE r.rolname OPERATOR(pg_catalog.=) 'pg_database_owner' AND d.datname OPERATOR(pg_catalog.=) pg_catalog.current_database()
    AND (EXISTS (SELECT FROM mine WHERE mine.oid OPERATOR(pg_catalog.=) d.datdba)
      OR EXISTS (SELECT FROM pg_catalog.pg_roles s WHERE s.oid OPERATOR(pg_catalog.=) d.datdba AND s.rolsuper))) )sql";

// The program's tables in the schema given as $1, as a condition on pg_class c.
const QByteArray OwnTables = "c.relnamespace OPERATOR(pg_catalog.=) $1::pg_catalog.oid AND c.relname "
                             "OPERATOR(pg_catalog.=) ANY ('{Taal,Speeches,TinlarkKeywordFolded,"
                             "TinlarkKeywordPending,TinlarkKeywordWords,TinlarkKeywordPostings,TinlarkKeywordWordState,SpeechHistory,"
                             "TinlarkHistoryLimit,SpeechCopies,TinlarkWords,TinlarkWordPending,"
                             "TinlarkWordState}'::pg_catalog.name[])";

// Whether the role in the column is one of them.
QByteArray trusted(const char *roleColumn)
{
    return QByteArray("EXISTS (SELECT FROM trusted WHERE trusted.oid OPERATOR(pg_catalog.=) ") + roleColumn + ')';
}

QString text(const PGresult *result, int row, int column)
{
    return QString::fromUtf8(PQgetvalue(result, row, column));
}

// The schema of the table Speeches as the user's path finds it, or the first schema on it.
std::pair<QByteArray, QString> librarySchema(PostgresSession &session)
{
    const PostgresResult result = session.execute(
        R"(SELECT n.oid, n.nspname FROM pg_catalog.pg_namespace n WHERE n.oid OPERATOR(pg_catalog.=) )"
        R"(coalesce((SELECT c.relnamespace FROM pg_catalog.pg_class c )"
        R"(WHERE c.oid OPERATOR(pg_catalog.=) pg_catalog.to_regclass('"Speeches"')), )"
        R"((SELECT s.oid FROM pg_catalog.pg_namespace s WHERE s.nspname OPERATOR(pg_catalog.=) pg_catalog.current_schema())))");
    if (PQntuples(result.get()) != 1)
        throw EDatabaseError(QStringLiteral("The %1 has no schema on the search path to keep the library in; name "
                                            "one with options='-c search_path=NAME' in the connection string")
                                 .arg(session.describe()));
    return {QByteArray(PQgetvalue(result.get(), 0, 0)), text(result.get(), 0, 1)};
}

// Roles the user does not trust that were granted CREATE on the schema ("PUBLIC" for every role).
QStringList strangersGrantedCreate(PostgresSession &session, const QByteArray &schema)
{
    const QByteArray sql = TrustedRoles
        + QByteArray("SELECT CASE WHEN a.grantee OPERATOR(pg_catalog.=) 0::pg_catalog.oid THEN 'PUBLIC' "
                     "ELSE pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(a.grantee)) END "
                     "FROM pg_catalog.pg_namespace n, "
                     "pg_catalog.aclexplode(coalesce(n.nspacl, pg_catalog.acldefault('n', n.nspowner))) a "
                     "WHERE n.oid OPERATOR(pg_catalog.=) $1::pg_catalog.oid "
                     "AND a.privilege_type OPERATOR(pg_catalog.=) 'CREATE' "
                     "AND a.grantee OPERATOR(pg_catalog.<>) n.nspowner "
                     "AND (a.grantee OPERATOR(pg_catalog.=) 0::pg_catalog.oid OR NOT ")
        + trusted("a.grantee") + ") ORDER BY 1";
    const PostgresResult result = session.execute(sql, {schema});
    QStringList roles;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        roles.append(text(result.get(), row, 0));
    return roles;
}

// The schema's owner when the user does not trust it: an owner may always create in its schema.
QString strangerOwning(PostgresSession &session, const QByteArray &schema)
{
    const QByteArray sql = TrustedRoles
        + QByteArray("SELECT pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(n.nspowner)) FROM pg_catalog.pg_namespace n "
                     "WHERE n.oid OPERATOR(pg_catalog.=) $1::pg_catalog.oid AND NOT ")
        + trusted("n.nspowner");
    const PostgresResult result = session.execute(sql, {schema});
    return PQntuples(result.get()) == 1 ? text(result.get(), 0, 0) : QString();
}

// What the program runs in the schema that a role the user does not trust owns: its
// tables, every function and operator (found by the path before the built-ins' near
// matches), and the functions of the triggers on its tables wherever they are.
std::optional<std::pair<QString, QString>> strangersObject(PostgresSession &session, const QByteArray &schema)
{
    const QByteArray sql = TrustedRoles
        + QByteArray("SELECT kind, name, pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(owner)) FROM ("
                     "SELECT 'table' AS kind, c.relname::pg_catalog.text AS name, c.relowner AS owner "
                     "FROM pg_catalog.pg_class c WHERE ")
        + OwnTables
        + " UNION ALL SELECT 'function', p.oid::pg_catalog.regprocedure::pg_catalog.text, p.proowner "
          "FROM pg_catalog.pg_proc p WHERE p.pronamespace OPERATOR(pg_catalog.=) $1::pg_catalog.oid "
          "UNION ALL SELECT 'operator', o.oid::pg_catalog.regoperator::pg_catalog.text, o.oprowner "
          "FROM pg_catalog.pg_operator o WHERE o.oprnamespace OPERATOR(pg_catalog.=) $1::pg_catalog.oid "
          "UNION ALL SELECT 'trigger function', p.oid::pg_catalog.regprocedure::pg_catalog.text, p.proowner "
          "FROM pg_catalog.pg_trigger t JOIN pg_catalog.pg_proc p ON p.oid OPERATOR(pg_catalog.=) t.tgfoid "
          "JOIN pg_catalog.pg_class c ON c.oid OPERATOR(pg_catalog.=) t.tgrelid WHERE "
        + OwnTables + ") AS used WHERE NOT " + trusted("owner") + " ORDER BY 1, 2 LIMIT 1";
    const PostgresResult result = session.execute(sql, {schema});
    if (PQntuples(result.get()) == 0)
        return std::nullopt;
    return std::pair{text(result.get(), 0, 0) + QLatin1Char(' ') + text(result.get(), 0, 1), text(result.get(), 0, 2)};
}

// A right on one of the program's tables held by a role the user does not trust ("PUBLIC" for
// every role) that lets it run code as whoever writes there (TRIGGER) or get in the way of the
// writes (REFERENCES, TRUNCATE): the role and the table, or nothing. Also a trigger on those
// tables whose function such a role owns.
std::optional<std::pair<QString, QString>> strangersRight(PostgresSession &session, const QByteArray &schema)
{
    const QByteArray sql = TrustedRoles
        + QByteArray("SELECT CASE WHEN a.grantee OPERATOR(pg_catalog.=) 0::pg_catalog.oid THEN 'PUBLIC' "
                     "ELSE pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(a.grantee)) END, "
                     "a.privilege_type::pg_catalog.text OPERATOR(pg_catalog.||) ' on ' OPERATOR(pg_catalog.||) c.relname::pg_catalog.text "
                     "FROM pg_catalog.pg_class c, pg_catalog.aclexplode(c.relacl) a WHERE ")
        + OwnTables
        + " AND a.privilege_type OPERATOR(pg_catalog.=) ANY ('{TRIGGER,REFERENCES,TRUNCATE}'::pg_catalog.text[]) "
          "AND (a.grantee OPERATOR(pg_catalog.=) 0::pg_catalog.oid OR NOT " + trusted("a.grantee") + ") "
          "UNION ALL SELECT pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(p.proowner)), "
          "'the trigger ' OPERATOR(pg_catalog.||) t.tgname::pg_catalog.text OPERATOR(pg_catalog.||) ' on ' "
          "OPERATOR(pg_catalog.||) c.relname::pg_catalog.text "
          "FROM pg_catalog.pg_trigger t JOIN pg_catalog.pg_proc p ON p.oid OPERATOR(pg_catalog.=) t.tgfoid "
          "JOIN pg_catalog.pg_class c ON c.oid OPERATOR(pg_catalog.=) t.tgrelid WHERE "
        + OwnTables + " AND NOT " + trusted("p.proowner") + " ORDER BY 1, 2 LIMIT 1";
    const PostgresResult result = session.execute(sql, {schema});
    if (PQntuples(result.get()) == 0)
        return std::nullopt;
    return std::pair{text(result.get(), 0, 0), text(result.get(), 0, 1)};
}

[[noreturn]] void refuseRight(PostgresSession &session, const std::pair<QString, QString> &right)
{
    throw EDatabaseError(QStringLiteral("The library on the %1 is not safe to use: %2 holds %3, which lets it run "
                                        "code as you or stop your changes when you store a speech. Have the tables' owner revoke it "
                                        "(a writer needs only SELECT, INSERT, UPDATE and DELETE, never ALL)")
                             .arg(session.describe(), right.first, right.second));
}

// Gives a library made by an earlier build what it lacks (missingTable: a table that create
// makes) when the user may act as the library's owner, made as that owner so that it belongs
// to whom the library belongs; otherwise the library goes on without it. Run it outside a
// transaction, once the session's path is the library's.
void addWhenMissing(PostgresSession &session, const QByteArray &missingCheck, void (*create)(PostgresSession &))
{
    const PostgresResult owner = session.execute(
        R"(SELECT pg_catalog.quote_ident(pg_catalog.pg_get_userbyid(c.relowner)) FROM pg_catalog.pg_class c )"
        R"(WHERE c.oid OPERATOR(pg_catalog.=) pg_catalog.to_regclass('"Speeches"') )"
        R"(AND pg_catalog.pg_has_role(c.relowner, 'MEMBER') AND )" + missingCheck);
    if (PQntuples(owner.get()) != 1)
        return;
    try {
        session.execute("BEGIN");
        session.execute(QByteArray("SET LOCAL ROLE ") + PQgetvalue(owner.get(), 0, 0));
        create(session);
        session.execute("COMMIT");
    } catch (const EDatabaseError &) {
        // A server that takes no changes now (a standby, a read-only default) leaves it for later.
        try {
            session.execute("ROLLBACK");
        } catch (const EDatabaseError &) {
        }
    }
}

} // namespace

namespace PostgresLibraryTrust {

void secure(PostgresSession &session)
{
    const auto [schema, schemaName] = librarySchema(session);
    const QString refused = QStringLiteral("The library on the %1 is not safe to use: ").arg(session.describe());
    if (const QStringList roles = strangersGrantedCreate(session, schema); !roles.isEmpty())
        throw EDatabaseError(refused
                             + QStringLiteral("%1 may create functions in its schema \"%2\", which would run as you "
                                              "inside the program's statements. Have the schema's owner revoke that "
                                              "(REVOKE CREATE ON SCHEMA \"%2\" FROM %1) or keep the library in a "
                                              "schema of its own")
                                   .arg(roles.join(QStringLiteral(", ")), schemaName));
    if (const QString owner = strangerOwning(session, schema); owner == QLatin1String("pg_database_owner"))
        throw EDatabaseError(refused
                             + QStringLiteral("its schema \"%1\" belongs to the owner of the database, a role you are "
                                              "no member of, who may create functions there that would run as you "
                                              "inside the program's statements. Have the database handed to you or "
                                              "to your team's role (ALTER DATABASE ... OWNER TO), or be made a member "
                                              "of its owner's role")
                                   .arg(schemaName));
    else if (!owner.isEmpty())
        throw EDatabaseError(refused
                             + QStringLiteral("its schema \"%1\" belongs to the role %2, who may create functions "
                                              "there that would run as you inside the program's statements. Have the "
                                              "schema handed to you or to your team's role (ALTER SCHEMA \"%1\" OWNER "
                                              "TO ...), or keep the library in a schema of your own")
                                   .arg(schemaName, owner));
    if (const auto object = strangersObject(session, schema))
        throw EDatabaseError(refused
                             + QStringLiteral("the %1 in the schema \"%2\" belongs to the role %3, which could run "
                                              "anything as you through it. Have it handed to you or to your team's "
                                              "role (ALTER ... OWNER TO), or drop it")
                                   .arg(object->first, schemaName, object->second));
    if (const auto right = strangersRight(session, schema))
        refuseRight(session, *right);
    // Nothing but the library's schema (trusted now; new tables go there) and the built-ins.
    session.execute("SELECT pg_catalog.set_config('search_path', pg_catalog.quote_ident($1) "
                    "OPERATOR(pg_catalog.||) ', pg_catalog, pg_temp', false)",
                    {schemaName.toUtf8()});
    // A library made by an earlier version has a trigger function that runs with the path of
    // whoever changes a speech; whoever may alter it gives it the library's own.
    const PostgresResult unpinned = session.execute(
        "SELECT p.oid::pg_catalog.regprocedure FROM pg_catalog.pg_proc p WHERE p.pronamespace OPERATOR(pg_catalog.=) "
        "$1::pg_catalog.oid AND p.proname OPERATOR(pg_catalog.=) 'TinlarkKeywordsChanged' AND p.proconfig IS NULL "
        "AND pg_catalog.pg_has_role(p.proowner, 'USAGE')",
        {schema});
    try {
        if (PQntuples(unpinned.get()) == 1)
            session.execute(QByteArray("ALTER FUNCTION ") + PQgetvalue(unpinned.get(), 0, 0)
                            + " SET search_path FROM CURRENT");
    } catch (const EDatabaseError &) {
        // A server that takes no changes (a standby, a read-only default) leaves it for later.
    }
    addWhenMissing(session, R"(pg_catalog.to_regclass('"SpeechHistory"') IS NULL)", PostgresHistory::create);
    addWhenMissing(session,
                   "NOT EXISTS (SELECT FROM pg_catalog.pg_trigger t WHERE t.tgrelid OPERATOR(pg_catalog.=) c.oid "
                   "AND t.tgname OPERATOR(pg_catalog.=) 'TinlarkTellInsert')",
                   PostgresChangeNotice::create);
    addWhenMissing(session,
                   R"(pg_catalog.to_regclass('"TinlarkKeywordWordState"') IS NULL AND )"
                   R"(pg_catalog.to_regclass('"TinlarkKeywordFolded"') IS NOT NULL)",
                   [](PostgresSession &owned) { PostgresKeywordWords::create(owned, false); });
    PostgresWordIndex::ensure(session);
    // Versions and copy counts of a library made by an earlier build are kept as its owner from now on.
    addWhenMissing(session,
                   QByteArray(R"(pg_catalog.to_regprocedure('"TinlarkKeepVersion"()') IS NOT NULL AND NOT )")
                       + PostgresHistory::KeptAsOwnerCondition,
                   PostgresHistory::keepAsOwner);
    addWhenMissing(session,
                   QByteArray(R"(pg_catalog.to_regclass('"SpeechCopies"') IS NOT NULL AND NOT )")
                       + PostgresCopyCounts::CountedByOwnerCondition,
                   PostgresCopyCounts::create);
}

void checkBeforeWrite(PostgresSession &session)
{
    const PostgresResult schema = session.execute("SELECT pg_catalog.current_schema()::pg_catalog.regnamespace::pg_catalog.oid");
    if (PQntuples(schema.get()) != 1 || PQgetisnull(schema.get(), 0, 0))
        return;
    if (const auto right = strangersRight(session, QByteArray(PQgetvalue(schema.get(), 0, 0))))
        refuseRight(session, *right);
}

} // namespace PostgresLibraryTrust
