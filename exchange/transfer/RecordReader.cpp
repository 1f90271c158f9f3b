#include "RecordReader.h"

#include "CsvReader.h"
#include "JsonReader.h"

std::unique_ptr<RecordReader> RecordReader::open(TransferFormat format, QIODevice &device)
{
    if (format == TransferFormat::Csv)
        return std::make_unique<CsvReader>(device);
    return std::make_unique<JsonReader>(device);
}
