#pragma once

#include <QtGlobal>
#include <functional>

// Told now and then how far a long export or import has come (done of total, in units of its
// own: speeches or bytes). Returning false stops it: EAbort is raised, nothing is stored and
// no file is written.
using TransferProgress = std::function<bool(qint64 done, qint64 total)>;

// Asks progress, when there is one, and raises EAbort when it says stop.
void reportTransferProgress(const TransferProgress &progress, qint64 done, qint64 total);
