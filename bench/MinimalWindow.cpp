#include "MinimalWindow.h"

#include "FirstFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

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

int runMinimalWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const std::unique_ptr<QMainWindow> window = minimalWindow();
    FirstFrame::reportIfAsked(window.get());
    window->show();
    return app.exec();
}
