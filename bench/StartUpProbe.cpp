// Starts the main window on a database, as the program does, and ends once it is up, so
// that /usr/bin/time can tell the peak memory of the program after start-up.
// usage: tinlark-startup-probe DATABASE, a file or a PostgreSQL server (URI or keyword string)

#include "FileLocations.h"
#include "IniFile.h"
#include "Mainfrm.h"
#include "ServerDataSource.h"
#include "TApplication.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("The Tinlark"));
    if (argc < 2)
        return 2;
    QTemporaryDir folder;
    const QString database = QString::fromLocal8Bit(argv[1]);
    // A server is named in the settings, as a user points the program at one.
    if (isServerDataSource(database))
        IniFile(FileLocations(folder.path()).settingsPath()).writeString(QStringLiteral("Hacks"), QStringLiteral("Database"), database);
    else
        QFile::link(QFileInfo(database).absoluteFilePath(), folder.filePath(FileLocations::DefaultDatabaseName));
    app.setExecutableFolder(folder.path());
    int failures = 0;
    app.setExceptionDisplay([&failures](const QString &message) {
        qWarning("%s", qPrintable(message));
        ++failures;
    });
    TForm1 form;
    form.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    app.exec();
    return failures == 0 && form.tblSpeech.active() ? 0 : 1;
}
