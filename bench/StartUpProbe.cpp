// Starts the main window on a database, in a process that holds the whole program from its
// start (no launcher, no module loaded later), and ends once its first frame is painted; or,
// with --minimal, the least Qt window of the same shape in the same process, to compare the
// windows' own work. Prints "shown NS KB US" (see FirstFrame).
// usage: tinlark-startup-probe DATABASE | --minimal
//        DATABASE: a file or a PostgreSQL server (URI or keyword string)

#include "FileLocations.h"
#include "FirstFrame.h"
#include "IniFile.h"
#include "Mainfrm.h"
#include "MinimalWindow.h"
#include "ServerDataSource.h"
#include "TApplication.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    qputenv("TINLARK_REPORT_SHOWN", "quit");
    if (QByteArray(argv[1]) == "--minimal")
        return runMinimalWindow(argc, argv);
    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("The Tinlark"));
    QTemporaryDir folder;
    const QString database = QString::fromLocal8Bit(argv[1]);
    // A server is named in the settings, as a user points the program at one.
    if (isServerDataSource(database))
        IniFile(FileLocations(folder.path()).settingsPath()).writeString(QStringLiteral("Hacks"), QStringLiteral("Database"), database);
    else
        QFile::link(QFileInfo(database).absoluteFilePath(), folder.filePath(FileLocations::DefaultDatabaseName));
    // The day's backup is made already, as at every start but the day's first: the copy of a
    // large library would otherwise run beside the start-up being measured.
    if (qEnvironmentVariableIsEmpty("TINLARK_PROBE_FIRST_START")) {
        QDir(folder.path()).mkdir(QStringLiteral("backups"));
        QFile stamp(folder.filePath(QStringLiteral("backups/%1-%2.csp")
                                        .arg(QFileInfo(FileLocations::DefaultDatabaseName).completeBaseName(),
                                             QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))));
        stamp.open(QIODevice::WriteOnly);
    }
    app.setExecutableFolder(folder.path());
    int failures = 0;
    app.setExceptionDisplay([&failures](const QString &message) {
        qWarning("%s", qPrintable(message));
        ++failures;
    });
    TForm1 form;
    FirstFrame::reportIfAsked(&form);
    form.show();
    app.exec();
    return failures == 0 && form.tblSpeech.active() ? 0 : 1;
}
