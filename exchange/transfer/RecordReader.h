#pragma once

#include "TransferFormat.h"
#include "TransferRecord.h"

#include <memory>

class QIODevice;

// Speeches read one at a time from a CSV or JSON file. Every fault of the file raises
// ETransferError naming where it is and why.
class RecordReader
{
public:
    virtual ~RecordReader() = default;
    // The next speech into record; false after the last one.
    virtual bool next(TransferRecord &record) = 0;

    static std::unique_ptr<RecordReader> open(TransferFormat format, QIODevice &device);
};
