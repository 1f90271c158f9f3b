// PostgreSQL's client library is loaded when a server is first used, not at every start: it
// brings some thirty libraries (Kerberos, LDAP, TLS) that a library file never needs, and
// loading them was a large part of the program's start-up. These definitions stand for the
// functions of <libpq-fe.h> the program calls; each finds the library's own at its first call.

#include "EDatabaseError.h"
#include "OnDemandLibrary.h"

#include <dlfcn.h>
#include <libpq-fe.h>

namespace {

template <typename Function> Function resolved(const char *name)
{
    void *const symbol = onDemandSymbol("libpq.so.5", name);
    if (!symbol)
        throw EDatabaseError(QStringLiteral("PostgreSQL's client library cannot be used (%1)")
                                 .arg(QString::fromLocal8Bit(dlerror())));
    return reinterpret_cast<Function>(symbol);
}

} // namespace

// A definition whose parameters differ from the header's makes decltype(&::name) ambiguous,
// so a mistake does not compile.
#define TINLARK_LIBPQ(Result, name, Parameters, Arguments)                                                             \
    Result name Parameters                                                                                             \
    {                                                                                                                  \
        static const auto function = resolved<decltype(&::name)>(#name);                                              \
        return function Arguments;                                                                                     \
    }

extern "C" {
TINLARK_LIBPQ(PGconn *, PQconnectdbParams, (const char *const *keywords, const char *const *values, int expand),
              (keywords, values, expand))
TINLARK_LIBPQ(PQconninfoOption *, PQconninfoParse, (const char *conninfo, char **error), (conninfo, error))
TINLARK_LIBPQ(PGconn *, PQconnectStartParams, (const char *const *keywords, const char *const *values, int expand),
              (keywords, values, expand))
TINLARK_LIBPQ(PQconninfoOption *, PQconninfo, (PGconn * conn), (conn))
TINLARK_LIBPQ(PQconninfoOption *, PQconndefaults, (), ())
TINLARK_LIBPQ(void, PQconninfoFree, (PQconninfoOption * options), (options))
TINLARK_LIBPQ(void, PQfreemem, (void *memory), (memory))
TINLARK_LIBPQ(void, PQfinish, (PGconn * conn), (conn))
TINLARK_LIBPQ(void, PQreset, (PGconn * conn), (conn))
TINLARK_LIBPQ(ConnStatusType, PQstatus, (const PGconn *conn), (conn))
TINLARK_LIBPQ(PGTransactionStatusType, PQtransactionStatus, (const PGconn *conn), (conn))
TINLARK_LIBPQ(char *, PQerrorMessage, (const PGconn *conn), (conn))
TINLARK_LIBPQ(char *, PQdb, (const PGconn *conn), (conn))
TINLARK_LIBPQ(char *, PQuser, (const PGconn *conn), (conn))
TINLARK_LIBPQ(char *, PQpass, (const PGconn *conn), (conn))
TINLARK_LIBPQ(char *, PQhost, (const PGconn *conn), (conn))
TINLARK_LIBPQ(char *, PQport, (const PGconn *conn), (conn))
TINLARK_LIBPQ(int, PQsocket, (const PGconn *conn), (conn))
TINLARK_LIBPQ(int, PQbackendPID, (const PGconn *conn), (conn))
TINLARK_LIBPQ(int, PQconnectionNeedsPassword, (const PGconn *conn), (conn))
TINLARK_LIBPQ(int, PQconnectionUsedPassword, (const PGconn *conn), (conn))
TINLARK_LIBPQ(int, PQsetClientEncoding, (PGconn * conn, const char *encoding), (conn, encoding))
TINLARK_LIBPQ(PQnoticeProcessor, PQsetNoticeProcessor, (PGconn * conn, PQnoticeProcessor processor, void *argument),
              (conn, processor, argument))
TINLARK_LIBPQ(PGresult *, PQexec, (PGconn * conn, const char *query), (conn, query))
TINLARK_LIBPQ(int, PQsendQuery, (PGconn * conn, const char *query), (conn, query))
TINLARK_LIBPQ(int, PQsendQueryParams,
              (PGconn * conn, const char *command, int count, const Oid *types, const char *const *values,
               const int *lengths, const int *formats, int resultFormat),
              (conn, command, count, types, values, lengths, formats, resultFormat))
TINLARK_LIBPQ(int, PQsendPrepare, (PGconn * conn, const char *name, const char *query, int count, const Oid *types),
              (conn, name, query, count, types))
TINLARK_LIBPQ(int, PQsendQueryPrepared,
              (PGconn * conn, const char *name, int count, const char *const *values, const int *lengths,
               const int *formats, int resultFormat),
              (conn, name, count, values, lengths, formats, resultFormat))
TINLARK_LIBPQ(int, PQsendDescribePrepared, (PGconn * conn, const char *name), (conn, name))
TINLARK_LIBPQ(int, PQsetSingleRowMode, (PGconn * conn), (conn))
TINLARK_LIBPQ(PGresult *, PQgetResult, (PGconn * conn), (conn))
TINLARK_LIBPQ(int, PQisBusy, (PGconn * conn), (conn))
TINLARK_LIBPQ(int, PQconsumeInput, (PGconn * conn), (conn))
TINLARK_LIBPQ(PGnotify *, PQnotifies, (PGconn * conn), (conn))
TINLARK_LIBPQ(ExecStatusType, PQresultStatus, (const PGresult *result), (result))
TINLARK_LIBPQ(char *, PQresultErrorMessage, (const PGresult *result), (result))
TINLARK_LIBPQ(char *, PQcmdStatus, (PGresult * result), (result))
TINLARK_LIBPQ(char *, PQcmdTuples, (PGresult * result), (result))
TINLARK_LIBPQ(int, PQntuples, (const PGresult *result), (result))
TINLARK_LIBPQ(int, PQnfields, (const PGresult *result), (result))
TINLARK_LIBPQ(char *, PQfname, (const PGresult *result, int field), (result, field))
TINLARK_LIBPQ(Oid, PQftype, (const PGresult *result, int field), (result, field))
TINLARK_LIBPQ(char *, PQgetvalue, (const PGresult *result, int row, int field), (result, row, field))
TINLARK_LIBPQ(int, PQgetlength, (const PGresult *result, int row, int field), (result, row, field))
TINLARK_LIBPQ(int, PQgetisnull, (const PGresult *result, int row, int field), (result, row, field))
TINLARK_LIBPQ(void, PQclear, (PGresult * result), (result))
}
