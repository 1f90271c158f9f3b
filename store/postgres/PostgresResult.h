#pragma once

#include <libpq-fe.h>
#include <memory>

// A result of the server, cleared when it goes.
struct PostgresResultClear
{
    void operator()(PGresult *result) const { PQclear(result); }
};
using PostgresResult = std::unique_ptr<PGresult, PostgresResultClear>;
