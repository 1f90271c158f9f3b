#pragma once

#include <memory>

class BatchedJob;
class Connection;

namespace LibraryUpkeep {

// What an open library has left to do in the background (the indexes a library made by an
// earlier build or another program lacks), as one job for a BatchedJobRunner; none when there
// is nothing to do.
std::unique_ptr<BatchedJob> backgroundWork(Connection &connection);

} // namespace LibraryUpkeep
