#include "LibraryChoice.h"

#include "Database.h"
#include "Exception.h"
#include "FileLocations.h"
#include "JetConverter.h"
#include "JetFormat.h"
#include "NewLibraryFile.h"
#include "ServerDataSource.h"
#include "SpeechImport.h"
#include "TApplication.h"
#include "TransferProgressDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace LibraryChoice {
namespace {

const QString LibraryFilter = QStringLiteral("Speech libraries (*.csp);;All files (*)");

QString chooseNewFile(QWidget *parent, const QString &caption, const QString &proposed)
{
    QString path = QFileDialog::getSaveFileName(parent, caption, proposed, LibraryFilter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csp");
    return path;
}

// Fills the new library newPath from the CSV or JSON file inPath; a failure removes it again.
void importIntoNew(QWidget *parent, const QString &inPath, TransferFormat format, const QString &newPath)
{
    createLibraryFile(newPath);
    try {
        const std::unique_ptr<Database> database = openDatabase(newPath, nullptr);
        TransferProgressDialog progress(QStringLiteral("Bringing in %1...").arg(QFileInfo(inPath).fileName()), parent);
        SpeechImport::fromFile(inPath, *database, format, SpeechImport::Mode::Store,
                               [&progress](qint64 done, qint64 total) { return progress.update(done, total); });
    } catch (const Exception &error) {
        QFile::remove(newPath);
        if (error.message().isEmpty())
            throw;
        throw Exception(QStringLiteral("%1: %2; no library was made").arg(QDir::toNativeSeparators(inPath), error.message()));
    }
}

// A file chosen to be opened that is no library file (an Access database, a CSV or JSON file,
// anything else) is pointed to Bring in..., which makes a library from it.
void requireLibraryFile(const QFileInfo &file)
{
    QFile in(file.absoluteFilePath());
    if (!in.open(QIODevice::ReadOnly) || in.read(16) == QByteArray("SQLite format 3", 16))
        return; // what cannot be read is said when it is opened
    const QString named = QDir::toNativeSeparators(file.absoluteFilePath());
    if (jetFormatOfFile(file.absoluteFilePath()) != JetFormat::NotJet)
        throw Exception(QStringLiteral("%1 is an Access database, not a library: File > Bring in... makes a library "
                                       "of its speeches").arg(named));
    throw Exception(QStringLiteral("%1 is not a library file. File > Bring in... makes a library from an Access "
                                   "database, a CSV or a JSON file").arg(named));
}

} // namespace

QString newNameBeside(const QString &inPath)
{
    const QFileInfo in(inPath);
    const QString stem = in.absolutePath() + QLatin1Char('/') + in.completeBaseName();
    QString name = stem + QStringLiteral(".csp");
    for (int number = 2; QFileInfo::exists(name); ++number)
        name = QStringLiteral("%1 (%2).csp").arg(stem).arg(number);
    return name;
}

QString open(QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Open library"));
    auto *place = new QLineEdit(&dialog);
    place->setObjectName(QStringLiteral("edLibrary"));
    place->setMinimumWidth(360);
    place->setPlaceholderText(QStringLiteral("a .csp file, or postgresql://server/database"));
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), &dialog);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, place] {
        const QString file =
            QFileDialog::getOpenFileName(&dialog, QStringLiteral("Open library"), QDir::homePath(), LibraryFilter);
        if (!file.isEmpty())
            place->setText(QDir::toNativeSeparators(file));
    });
    auto *row = new QHBoxLayout;
    row->addWidget(place, 1);
    row->addWidget(browse);
    browse->setAutoDefault(false); // Enter in the field opens what it names
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Open)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("&Library file or server URI:"), row);
    form->addRow(buttons);
    qobject_cast<QLabel *>(form->labelForField(row))->setBuddy(place);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QString chosen = place->text().trimmed();
    if (chosen.isEmpty() || isServerDataSource(chosen))
        return chosen;
    if (looksLikeServerDataSource(chosen))
        throw Exception(unreadableServerDataSource());
    const QFileInfo file(QDir::fromNativeSeparators(chosen));
    if (!file.isFile())
        throw Exception(QStringLiteral("There is no library file %1").arg(chosen));
    requireLibraryFile(file);
    return file.absoluteFilePath();
}

QString createNew(QWidget *parent)
{
    const QString path = chooseNewFile(parent, QStringLiteral("New library"), QDir::homePath() + QStringLiteral("/Speeches.csp"));
    if (!path.isEmpty())
        createLibraryFile(path);
    return path;
}

QString bringIn(QWidget *parent)
{
    const QString inPath = QFileDialog::getOpenFileName(
        parent, QStringLiteral("Bring in speeches"), QDir::homePath(),
        QStringLiteral("Speeches (*.mdb *.csv *.json);;Access databases (*.mdb);;CSV files (*.csv);;"
                       "JSON files (*.json);;All files (*)"));
    if (inPath.isEmpty())
        return QString();
    const std::optional<TransferFormat> transfer = transferFormatOfName(inPath);
    const bool jet = jetFormatOfFile(inPath) != JetFormat::NotJet;
    if (!transfer && !jet)
        throw Exception(QStringLiteral("%1 is neither an Access database nor a CSV or JSON file")
                            .arg(QDir::toNativeSeparators(inPath)));
    const QFileInfo in(inPath);
    const QString newPath = chooseNewFile(parent, QStringLiteral("Save the new library as"), newNameBeside(inPath));
    if (newPath.isEmpty())
        return QString();
    if (jet) {
        TransferProgressDialog progress(QStringLiteral("Converting %1...").arg(in.fileName()), parent);
        JetConverter::convert(inPath, newPath, [&progress](qint64 done, qint64 total) { return progress.update(done, total); });
    } else {
        importIntoNew(parent, inPath, *transfer, newPath);
    }
    return newPath;
}

QString settingFor(const QString &dataSource, const FileLocations &locations)
{
    // The settings file is no place for a password typed into the server's URI.
    if (isServerDataSource(dataSource))
        return withoutPassword(dataSource);
    // The setting is joined to the folder as text, so a file elsewhere is named from there.
    return QDir(locations.dataFolder()).relativeFilePath(dataSource);
}

} // namespace LibraryChoice
