#include "FirstStartQuestion.h"

#include "Exception.h"
#include "FileLocations.h"
#include "NewLibraryFile.h"
#include "TApplication.h"
#include "TButton.h"
#include "Wwmsgdlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

namespace FirstStartQuestion {
namespace {

QString chooseWithDialog()
{
    return QFileDialog::getOpenFileName(nullptr, QStringLiteral("Bring in a speech database"), QDir::homePath(),
                                        QStringLiteral("Speech databases (*.csp *.mdb);;All files (*)"));
}

int ask(const QString &databasePath)
{
    const QString message =
        QStringLiteral("There is no speech database yet.\n\n"
                       "Create an empty speech database as %1, or bring in a database file you already have? "
                       "A file you bring in is copied there; the original stays as it is.")
            .arg(QDir::toNativeSeparators(databasePath));
    const auto form = CreateMessageForm(message, mtConfirmation, {},
                                        {{QStringLiteral("&Create"), Create},
                                         {QStringLiteral("&Bring in..."), BringIn},
                                         {QStringLiteral("Cancel"), Cancel}},
                                        false, TApplication::instance()->title());
    // Enter creates the database, Esc leaves the question unanswered.
    for (TButton *button : form->findChildren<TButton *>()) {
        if (button->modalResult() == Create) {
            button->setDefault(true);
            form->setActiveControl(button);
        }
        button->setCancel(button->modalResult() == Cancel);
    }
    form->setScreenCentred(true);
    return form->exec();
}

// Copies the chosen file into place through a temporary file beside it that is renamed
// only when every byte is written and on the disk, so that a failed copy leaves nothing.
void bringIn(const QString &source, const QString &databasePath)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Could not read %1: %2").arg(QDir::toNativeSeparators(source), from.errorString()));
    QSaveFile to(databasePath);
    if (!to.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(databasePath), to.errorString()));
    constexpr qint64 ChunkSize = 1 << 20;
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(ChunkSize);
        if (chunk.isEmpty() && from.error() != QFileDevice::NoError)
            throw Exception(QStringLiteral("Could not read %1: %2").arg(QDir::toNativeSeparators(source), from.errorString()));
        if (to.write(chunk) != chunk.size())
            break; // the failure is reported by commit below
    }
    if (!to.commit())
        throw Exception(QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(databasePath), to.errorString()));
}

} // namespace

bool offer(const FileLocations &locations, const QString &databasePath)
{
    if (locations.isPortable())
        return false;
    const int answer = ask(databasePath);
    if (answer != Create && answer != BringIn)
        return false;
    QString source;
    if (answer == BringIn) {
        source = chooseWithDialog();
        if (source.isEmpty())
            return false;
    }
    if (!QDir().mkpath(QFileInfo(databasePath).path()))
        throw Exception(QStringLiteral("Could not make the folder %1").arg(QDir::toNativeSeparators(QFileInfo(databasePath).path())));
    if (answer == Create)
        createLibraryFile(databasePath);
    else
        bringIn(source, databasePath);
    return true;
}

} // namespace FirstStartQuestion
