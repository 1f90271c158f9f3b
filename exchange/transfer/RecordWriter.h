#pragma once

#include "TransferFormat.h"
#include "TransferRecord.h"

#include <memory>

class QIODevice;

// Speeches written one at a time into a CSV or JSON file; a failed write raises ETransferError.
class RecordWriter
{
public:
    virtual ~RecordWriter() = default;
    virtual void write(const TransferRecord &record) = 0;
    // Closes what the format opened (JSON's array); nothing is written after it.
    virtual void finish() = 0;

    static std::unique_ptr<RecordWriter> open(TransferFormat format, QIODevice &device, CsvCells cells = CsvCells::Exact);

protected:
    static void put(QIODevice &device, const QByteArray &bytes);
};
