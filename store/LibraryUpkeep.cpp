#include "LibraryUpkeep.h"

#include "BatchedJobSequence.h"
#include "Connection.h"
#include "Database.h"
#include "WordIndexBuild.h"

std::unique_ptr<BatchedJob> LibraryUpkeep::backgroundWork(Connection &connection)
{
    std::vector<std::unique_ptr<BatchedJob>> jobs;
    if (std::unique_ptr<BatchedJob> engineWork = connection.handle()->backgroundWork())
        jobs.push_back(std::move(engineWork));
    if (connection.readOnlyReason().isEmpty() && WordIndexBuild::wanted(connection))
        jobs.push_back(std::make_unique<WordIndexBuild>(connection.connectionString()));
    if (jobs.empty())
        return {};
    if (jobs.size() == 1)
        return std::move(jobs.front());
    return std::make_unique<BatchedJobSequence>(std::move(jobs));
}
