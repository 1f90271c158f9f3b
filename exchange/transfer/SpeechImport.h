#pragma once

#include "TransferFormat.h"
#include "TransferProgress.h"

#include <QString>
#include <functional>

class Database;
class RecordReader;

// Merges the speeches of a CSV or JSON file into a library: a language is found by its name
// without regard to case, or made; a speech that is already in its language (the same
// keywords, text and comments; an empty value the same as none) is passed over. All in one
// transaction: a fault of the file or of a write stores nothing.
namespace SpeechImport {

struct Counts
{
    qint64 added = 0;
    qint64 skipped = 0;
    qint64 languagesCreated = 0;
};

enum class Mode { Preview, Store };

// Reads every speech; with Preview, counts what Store would do and stores nothing. Raises
// ETransferError ("line 12: ...") for a fault of the file, EDatabaseError for the library's.
// keepGoing is asked every few hundred speeches; false stops with EAbort, nothing stored.
Counts run(Database &database, RecordReader &reader, Mode mode, const std::function<bool()> &keepGoing = {});

// The same for the file inPath into an open library; progress counts the file's bytes.
Counts fromFile(const QString &inPath, Database &database, TransferFormat format, Mode mode,
                const TransferProgress &progress = {});
// The same into the library dataSource names (a file or a server URI).
Counts fromFile(const QString &inPath, const QString &dataSource, TransferFormat format, Mode mode);

// What an import did, or a preview would do, in words: "Imported 5 new speeches and 1 new
// language; 2 speeches were already there", "Would import ...".
QString describe(const Counts &counts, Mode mode);

} // namespace SpeechImport
