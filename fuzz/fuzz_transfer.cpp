// Fuzz target of the CSV and JSON speech readers: the first byte picks the format, the rest is
// the file. A file the reader refuses is fine; one it takes must come back the same when its
// speeches are written out and read again, so that nothing read is lost or changed.

#include "ETransferError.h"
#include "RecordReader.h"
#include "RecordWriter.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<TransferRecord> readAll(TransferFormat format, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const std::unique_ptr<RecordReader> reader = RecordReader::open(format, buffer);
    std::vector<TransferRecord> records;
    for (TransferRecord record; reader->next(record);)
        records.push_back(record);
    return records;
}

bool same(const TransferRecord &a, const TransferRecord &b)
{
    // CSV has no NULL: it reads as empty text.
    return a.language == b.language && a.keywords.toString() == b.keywords.toString()
           && a.keywords.isNull() == b.keywords.isNull() && a.text.toString() == b.text.toString()
           && a.text.isNull() == b.text.isNull() && a.comments.toString() == b.comments.toString()
           && a.comments.isNull() == b.comments.isNull();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const TransferFormat format = data[0] & 1 ? TransferFormat::Json : TransferFormat::Csv;
    std::vector<TransferRecord> records;
    try {
        records = readAll(format, QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
    } catch (const ETransferError &) {
        return 0;
    }
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    const std::unique_ptr<RecordWriter> writer = RecordWriter::open(format, written);
    for (const TransferRecord &record : records)
        writer->write(record);
    writer->finish();
    std::vector<TransferRecord> again;
    try {
        again = readAll(format, written.data());
    } catch (const ETransferError &) {
        std::abort(); // what the writer wrote must be readable
    }
    // A record of one empty field (a blank line) is passed over by the CSV reader.
    if (again.size() != records.size())
        std::abort();
    for (size_t i = 0; i < records.size(); ++i) {
        if (!same(records[i], again[i]))
            std::abort();
    }
    return 0;
}
