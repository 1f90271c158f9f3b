#include "RecordWriter.h"

#include "CsvWriter.h"
#include "ETransferError.h"
#include "JsonWriter.h"

#include <QIODevice>

std::unique_ptr<RecordWriter> RecordWriter::open(TransferFormat format, QIODevice &device, CsvCells cells)
{
    if (format == TransferFormat::Csv)
        return std::make_unique<CsvWriter>(device, cells);
    return std::make_unique<JsonWriter>(device);
}

void RecordWriter::put(QIODevice &device, const QByteArray &bytes)
{
    if (device.write(bytes) != bytes.size())
        throw ETransferError(QStringLiteral("Cannot write on: %1").arg(device.errorString()));
}
