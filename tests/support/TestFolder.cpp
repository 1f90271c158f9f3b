#include "TestFolder.h"

#include "TApplication.h"

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
    QFile file(settingsPath());
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

QByteArray TestFolder::readSettings() const
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
