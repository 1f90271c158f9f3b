#include "FirstStartQuestion.h"

#include "Exception.h"
#include "FileLocations.h"
#include "Schema.h"
#include "TApplication.h"
#include "TButton.h"
#include "Wwmsgdlg.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

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

// Copies the chosen file into place through a temporary file beside it, so that a failed
// copy leaves no half a database behind.
void bringIn(const QString &source, const QString &databasePath)
{
    const QString partial = databasePath + QStringLiteral(".part");
    QFile::remove(partial);
    QFile from(source);
    if (!from.copy(partial)) {
        QFile::remove(partial);
        throw Exception(QStringLiteral("Could not copy %1: %2").arg(QDir::toNativeSeparators(source), from.errorString()));
    }
    if (!QFile::rename(partial, databasePath)) {
        QFile::remove(partial);
        throw Exception(QStringLiteral("Could not put the database in place as %1").arg(QDir::toNativeSeparators(databasePath)));
    }
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
        Schema::createFile(databasePath);
    else
        bringIn(source, databasePath);
    return true;
}

} // namespace FirstStartQuestion
