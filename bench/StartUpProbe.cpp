// Starts the main window on a database, as the program does, and ends once it is up; or, with
// --minimal, the least Qt window of the same shape (menu bar, tool bar with a combo box, a
// line edit, two text edits in a splitter, a status bar), to compare start-up against.
// Prints "shown NS KB": the monotonic clock when the window is up, and the peak memory then.
// usage: tinlark-startup-probe DATABASE | --minimal
//        DATABASE: a file or a PostgreSQL server (URI or keyword string)

#include "FileLocations.h"
#include "IniFile.h"
#include "Mainfrm.h"
#include "ServerDataSource.h"
#include "TApplication.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/resource.h>

namespace {

// Tells the time and memory once the window's first turn of the event loop has run.
void reportWhenShown()
{
    QTimer::singleShot(0, qApp, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("shown %lld %ld\n", qint64(now.tv_sec) * 1000000000 + now.tv_nsec, usage.ru_maxrss);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

std::unique_ptr<QMainWindow> minimalWindow()
{
    auto window = std::make_unique<QMainWindow>();
    for (const char *menu : {"&Speeches", "&Edit", "&Extra", "&Help"})
        window->menuBar()->addMenu(QString::fromLatin1(menu))->addAction(QStringLiteral("Item"));
    QToolBar *tools = window->addToolBar(QStringLiteral("Tools"));
    auto *languages = new QComboBox;
    languages->addItems({QStringLiteral("Deutsch"), QStringLiteral("English")});
    tools->addWidget(languages);
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(new QLineEdit(QStringLiteral("keywords")));
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(new QTextEdit(QStringLiteral("Text")));
    splitter->addWidget(new QTextEdit(QStringLiteral("Comments")));
    layout->addWidget(splitter);
    window->setCentralWidget(central);
    window->statusBar()->showMessage(QStringLiteral("Ready"));
    window->resize(612, 410);
    return window;
}

int runMinimal(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const std::unique_ptr<QMainWindow> window = minimalWindow();
    window->show();
    reportWhenShown();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    if (QByteArray(argv[1]) == "--minimal")
        return runMinimal(argc, argv);
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
    form.show();
    reportWhenShown();
    app.exec();
    return failures == 0 && form.tblSpeech.active() ? 0 : 1;
}
