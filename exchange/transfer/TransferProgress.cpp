#include "TransferProgress.h"

#include "EAbort.h"

void reportTransferProgress(const TransferProgress &progress, qint64 done, qint64 total)
{
    if (progress && !progress(done, total))
        throw EAbort();
}
