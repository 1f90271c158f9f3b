#include "ServerSamples.h"

#include "BenchDatabases.h"
#include "EDatabaseError.h"
#include "LibraryCopy.h"
#include "PostgresDatabase.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

ServerSamples *samplesOfThisRun = nullptr;

} // namespace

int ServerSamples::runBenchmarks(int argc, char **argv)
{
    ServerSamples samples;
    samplesOfThisRun = &samples;
    benchmark::Initialize(&argc, argv);
    int status = 0;
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const EDatabaseError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        status = 1;
    }
    benchmark::Shutdown();
    samplesOfThisRun = nullptr;
    return status;
}

ServerSamples &ServerSamples::thisRun()
{
    return *samplesOfThisRun;
}

QString ServerSamples::dataSourceFor(int speeches, int languages)
{
    QString &dataSource = m_dataSources[{speeches, languages}];
    if (dataSource.isEmpty())
        dataSource = copyOf(speeches, languages);
    return dataSource;
}

QString ServerSamples::copyOf(int speeches, int languages)
{
    if (!m_server) {
        if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty())
            throw EDatabaseError(missing);
        m_server = std::make_unique<PostgresServer>();
        // Commits wait for the disk, as the file's do, so that the posts compare.
        if (!m_server->start(PostgresServer::Writes::Durable))
            throw EDatabaseError(m_server->error());
    }
    const QString dataSource = m_server->createDatabase(QStringLiteral("speeches_%1_%2").arg(speeches).arg(languages));
    if (dataSource.isEmpty())
        throw EDatabaseError(m_server->error());
    QElapsedTimer timer;
    timer.start();
    const LibraryCopy::Copied copied = LibraryCopy::copy(BenchDatabases::pathFor(speeches, languages), dataSource);
    const qint64 copyTime = timer.restart();
    // Statistics and the visibility map as the server's own vacuum would leave them, made now
    // so that it does not start in the middle of a measurement.
    PostgresDatabase(dataSource, nullptr).session().execute("VACUUM ANALYZE");
    std::fprintf(stderr, "%lld speeches copied to the server in %lld ms, vacuumed and analysed in %lld ms\n",
                 copied.speeches, copyTime, timer.elapsed());
    return dataSource;
}
