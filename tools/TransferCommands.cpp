#include "TransferCommands.h"

#include "BackupCommand.h"
#include "EDatabaseError.h"
#include "ETransferError.h"
#include "MakeDbCommandLine.h"
#include "SpeechExport.h"
#include "LibraryBackup.h"
#include "ServerDataSource.h"
#include "SpeechImport.h"

#include <QDir>
#include <QFileInfo>

namespace {

TransferFormat formatOf(const MakeDbCommandLine &line)
{
    return transferFormatOfWord(line.format).value_or(TransferFormat::Csv);
}

} // namespace

int exportCommand(const MakeDbCommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString &outPath = line.databases[1];
    try {
        const qint64 written = SpeechExport::toFile(line.databases[0], outPath, formatOf(line), line.language,
                                                    line.spreadsheetSafe ? CsvCells::SpreadsheetSafe : CsvCells::Exact);
        out << SpeechExport::describe(written, outPath) << "\n";
    } catch (const Exception &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}

int importCommand(const MakeDbCommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString &inPath = line.databases[0];
    const SpeechImport::Mode mode = line.preview ? SpeechImport::Mode::Preview : SpeechImport::Mode::Store;
    const QString &library = line.databases[1];
    try {
        // The input is read and checked whole first (a preview stores nothing): a missing or bad
        // file, or one that adds nothing, is refused before any backup is made or rotated.
        const SpeechImport::Counts preview = SpeechImport::fromFile(inPath, library, formatOf(line), SpeechImport::Mode::Preview);
        if (mode == SpeechImport::Mode::Preview || (preview.added == 0 && preview.languagesCreated == 0)) {
            out << SpeechImport::describe(preview, mode) << "; nothing was stored\n";
            return 0;
        }
        // A library file is backed up before anything is stored in it, into its backups folder
        // as the program's own backups are; a file that is read wrong can then be undone.
        if (!isServerDataSource(library) && QFileInfo::exists(library)) {
            const QString made = backUpAndRotate(library, LibraryBackup::folderFor(library));
            out << "Backed up " << library << " into " << QDir::toNativeSeparators(made) << "\n";
        }
        const SpeechImport::Counts counts = SpeechImport::fromFile(inPath, library, formatOf(line), mode);
        out << SpeechImport::describe(counts, mode) << "\n";
    } catch (const ETransferError &error) {
        err << "tinlark-makedb: " << inPath << ", " << error.message() << "; nothing was imported\n";
        return 1;
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "; nothing was imported\n";
        return 1;
    }
    return 0;
}
