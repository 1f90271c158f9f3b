#pragma once

#include "TransferFormat.h"

#include <QString>

class Database;
class RecordWriter;

// Writes the speeches of a library, every language's or one language's, in the order of
// their IDs. A speech whose language no longer exists is not written.
namespace SpeechExport {

// language: the name of the one language to write (matched without regard to case), or
// empty for all. Returns the speeches written; raises EDatabaseError or ETransferError.
qint64 write(Database &database, RecordWriter &writer, const QString &language);

// Exports the library dataSource names (a file or a server URI) into the new file outPath,
// written whole or not at all; an existing file is refused.
qint64 toFile(const QString &dataSource, const QString &outPath, TransferFormat format, const QString &language);

} // namespace SpeechExport
