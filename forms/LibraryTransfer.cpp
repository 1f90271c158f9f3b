#include "LibraryTransfer.h"

#include "BackupRotation.h"
#include "EAbort.h"
#include "EDatabaseError.h"
#include "ETransferError.h"
#include "IniFile.h"
#include "LibraryBackup.h"
#include "PlainQuestion.h"
#include "SpeechExport.h"
#include "SpeechImport.h"
#include "TransferProgressDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>
#include <QScopeGuard>

namespace LibraryTransfer {
namespace {

const QString CsvFilter = QStringLiteral("CSV files (*.csv)");
const QString JsonFilter = QStringLiteral("JSON files (*.json)");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

const QString ExportTitle = QStringLiteral("Export speeches");
const QString ImportTitle = QStringLiteral("Import speeches");

// Every language (an empty name), or only the current one; none when cancelled.
std::optional<QString> askWhichLanguages(QWidget *parent, const QString &currentLanguage)
{
    if (currentLanguage.isEmpty())
        return QString();
    const auto box = PlainQuestion::create(
        parent, QMessageBox::Question, ExportTitle,
        QStringLiteral("Export the speeches of every language, or only those of %1?").arg(currentLanguage),
        QMessageBox::Cancel);
    QPushButton *all = box->addButton(QStringLiteral("&All languages"), QMessageBox::AcceptRole);
    QPushButton *only = box->addButton(
        QStringLiteral("&Only %1").arg(QString(currentLanguage).replace(QLatin1Char('&'), QStringLiteral("&&"))),
        QMessageBox::AcceptRole);
    box->setDefaultButton(all);
    box->exec();
    if (box->clickedButton() == all)
        return QString();
    if (box->clickedButton() == only)
        return currentLanguage;
    return std::nullopt;
}

// Where to export to, in which format and, for CSV, whether the cells are to be safe to open in
// a spreadsheet; none when cancelled. Qt's own dialog, since a desktop's cannot hold the box.
struct ExportTarget
{
    QString path;
    TransferFormat format = TransferFormat::Csv;
    CsvCells cells = CsvCells::Exact;
};

std::optional<ExportTarget> askExportTarget(QWidget *parent)
{
    QFileDialog dialog(parent, ExportTitle, QDir::homePath() + QStringLiteral("/speeches.csv"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({CsvFilter, JsonFilter});
    auto *safe = new QCheckBox(QStringLiteral("&Spreadsheet-safe CSV: a ' before cells that begin with = + - @"), &dialog);
    safe->setObjectName(QStringLiteral("cbSpreadsheetSafe"));
    safe->setToolTip(QStringLiteral("A spreadsheet program then shows such cells instead of running them as formulas; "
                                    "an import takes the ' off again"));
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(safe, grid->rowCount(), 0, 1, grid->columnCount());
    QObject::connect(&dialog, &QFileDialog::filterSelected, safe, [safe](const QString &filter) { safe->setEnabled(filter == CsvFilter); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    ExportTarget target{dialog.selectedFiles().constFirst()};
    const std::optional<TransferFormat> named = transferFormatOfName(target.path);
    // A name without the suffix gets the one of the chosen kind.
    target.format = named.value_or(dialog.selectedNameFilter() == JsonFilter ? TransferFormat::Json : TransferFormat::Csv);
    if (!named)
        target.path += target.format == TransferFormat::Json ? QStringLiteral(".json") : QStringLiteral(".csv");
    if (target.format == TransferFormat::Csv && safe->isChecked())
        target.cells = CsvCells::SpreadsheetSafe;
    return target;
}

// The whole run of an import: the file's faults named with its path, and that nothing was stored.
SpeechImport::Counts runImport(QWidget *parent, Database &database, const QString &inPath, TransferFormat format,
                               SpeechImport::Mode mode)
{
    const bool preview = mode == SpeechImport::Mode::Preview;
    TransferProgressDialog progress(
        (preview ? QStringLiteral("Reading %1...") : QStringLiteral("Importing %1...")).arg(QFileInfo(inPath).fileName()),
        parent);
    try {
        return SpeechImport::fromFile(inPath, database, format, mode,
                                      [&progress](qint64 done, qint64 total) { return progress.update(done, total); });
    } catch (const EAbort &) {
        throw Exception(QStringLiteral("The import of %1 was cancelled: nothing was stored").arg(shown(inPath)));
    } catch (const ETransferError &error) {
        throw Exception(QStringLiteral("%1, %2; nothing was imported").arg(shown(inPath), error.message()));
    } catch (const EDatabaseError &error) {
        throw Exception(QStringLiteral("%1; nothing was imported").arg(error.message()));
    }
}

} // namespace

void exportSpeeches(QWidget *parent, Database &database, const QString &currentLanguage)
{
    const std::optional<QString> language = askWhichLanguages(parent, currentLanguage);
    if (!language)
        return;
    const std::optional<ExportTarget> target = askExportTarget(parent);
    if (!target)
        return;
    qint64 written = 0;
    {
        TransferProgressDialog progress(QStringLiteral("Exporting into %1...").arg(QFileInfo(target->path).fileName()), parent);
        written = SpeechExport::toFile(
            database, target->path, target->format, *language,
            [&progress](qint64 done, qint64 total) { return progress.update(done, total); }, target->cells);
    }
    PlainQuestion::tell(parent, ExportTitle, SpeechExport::describe(written, shown(target->path)));
}

bool importSpeeches(QWidget *parent, Database &database, const QString &libraryFile, const QString &settingsPath)
{
    QString filter;
    const QString inPath = QFileDialog::getOpenFileName(
        parent, QStringLiteral("Import speeches"), QDir::homePath(),
        QStringLiteral("Speeches (*.csv *.json);;") + CsvFilter + QStringLiteral(";;") + JsonFilter, &filter);
    if (inPath.isEmpty())
        return false;
    const TransferFormat format =
        transferFormatOfName(inPath).value_or(filter == JsonFilter ? TransferFormat::Json : TransferFormat::Csv);
    const SpeechImport::Counts preview = runImport(parent, database, inPath, format, SpeechImport::Mode::Preview);
    const QString found = QStringLiteral("%1\n\n%2.").arg(shown(inPath), SpeechImport::describe(preview, SpeechImport::Mode::Preview));
    if (preview.added == 0) {
        PlainQuestion::tell(parent, ImportTitle, found + QStringLiteral(" Nothing was stored."));
        return false;
    }
    const QString question =
        found + QStringLiteral("\n\nImport them now?") +
        (libraryFile.isEmpty() ? QString() : QStringLiteral(" The library is backed up first."));
    if (!PlainQuestion::yes(parent, ImportTitle, question))
        return false;
    // Backed up as the command line's import does, so that a file read wrong can be undone.
    QString backup;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto endWait = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        if (!libraryFile.isEmpty())
            backup = LibraryBackup::makeAndRotate(libraryFile, LibraryBackup::folderFor(libraryFile),
                                                  BackupRotation::read(IniFile(settingsPath)));
    } catch (const EDatabaseError &error) {
        throw Exception(QStringLiteral("%1; nothing was imported").arg(error.message()));
    }
    const SpeechImport::Counts counts = runImport(parent, database, inPath, format, SpeechImport::Mode::Store);
    PlainQuestion::tell(parent, ImportTitle, SpeechImport::describe(counts, SpeechImport::Mode::Store) +
                (backup.isEmpty() ? QString() : QStringLiteral(".\n\nThe library as it was is kept in %1").arg(shown(backup))));
    return true;
}

} // namespace LibraryTransfer
