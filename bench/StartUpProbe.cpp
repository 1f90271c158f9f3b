// Starts the main window on a database, as the program does, and ends once it is up, so
// that /usr/bin/time can tell the peak memory of the program after start-up.
// usage: tinlark-startup-probe DATABASE

#include "Mainfrm.h"
#include "TApplication.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("The Tinlark"));
    if (argc < 2)
        return 2;
    QTemporaryDir folder;
    QFile::link(QString::fromLocal8Bit(argv[1]), folder.filePath(QStringLiteral("Speeches.csp")));
    app.setExecutableFolder(folder.path());
    TForm1 form;
    form.show();
    QTimer::singleShot(0, &form, &QWidget::close);
    app.exec();
    return form.tblSpeech.active() ? 0 : 1;
}
