#pragma once

#include "PostgresServer.h"

#include <QString>
#include <map>
#include <memory>
#include <utility>

// The sample libraries of the benchmarks on a PostgreSQL server: one throwaway server on a
// Unix socket, started the first time a benchmark asks for a library on it, with one
// database per sample shape, copied from its sample file (IDs kept) and analysed, so that a
// run that measures only the files pays for no server.
class ServerSamples
{
public:
    // The entry of a benchmark program with samples on a server: runs the benchmarks the
    // command line selects, with thisRun() at hand, and stops the server (if one was started)
    // before it returns. Needs Qt's application object.
    static int runBenchmarks(int argc, char **argv);
    static ServerSamples &thisRun();

    // The data source of the server database holding the sample file of that shape.
    // Raises EDatabaseError when the server cannot be started or the copy cannot be made.
    QString dataSourceFor(int speeches, int languages);

private:
    QString copyOf(int speeches, int languages);

    std::unique_ptr<PostgresServer> m_server;
    std::map<std::pair<int, int>, QString> m_dataSources;
};
