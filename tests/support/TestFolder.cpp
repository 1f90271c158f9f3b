#include "TestFolder.h"

#include "TApplication.h"
#include "TestServer.h"

#include <QFile>

TestFolder::TestFolder()
{
    TApplication::instance()->setExecutableFolder(path());
}

TestFolder::~TestFolder()
{
    TApplication::instance()->setExecutableFolder(QString());
}

QString TestFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

void TestFolder::writeSettings(const QByteArray &content) const
{
    QByteArray settings = content;
    // In a run on the server the program finds its library there instead of beside it.
    const QString library = TestServer::libraryPlacedAt(databasePath());
    if (!library.isEmpty() && !settings.contains("[Hacks]"))
        settings += "\n[Hacks]\nDatabase=" + library.toUtf8() + "\n";
    QFile file(settingsPath());
    if (file.open(QIODevice::WriteOnly))
        file.write(settings);
}

QByteArray TestFolder::readSettings() const
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
