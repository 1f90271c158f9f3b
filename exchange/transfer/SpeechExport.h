#pragma once

#include "TransferFormat.h"
#include "TransferProgress.h"

#include <QString>

class Database;
class RecordWriter;

// Writes the speeches of a library, every language's or one language's, in the order of
// their IDs. A speech whose language no longer exists is not written.
namespace SpeechExport {

// language: the name of the one language to write (matched without regard to case), or
// empty for all. Returns the speeches written; raises EDatabaseError or ETransferError.
// progress counts speeches.
qint64 write(Database &database, RecordWriter &writer, const QString &language, const TransferProgress &progress = {});

// Exports an open library into the new file outPath, written whole or not at all; an existing
// file is refused. cells tells how a CSV file's cells are written.
qint64 toFile(Database &database, const QString &outPath, TransferFormat format, const QString &language,
              const TransferProgress &progress = {}, CsvCells cells = CsvCells::Exact);

// Exports the library dataSource names (a file or a server URI) into the new file outPath,
// written whole or not at all; an existing file is refused.
qint64 toFile(const QString &dataSource, const QString &outPath, TransferFormat format, const QString &language,
              CsvCells cells = CsvCells::Exact);

// What an export did, in words: "Exported 5 speeches into speeches.csv".
QString describe(qint64 written, const QString &outPath);

} // namespace SpeechExport
