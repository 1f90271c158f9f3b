#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh folder that stands for the executable's folder: the program finds its settings
// file and its database there. Removed with everything in it when the test ends.
class TestFolder
{
public:
    TestFolder();  // makes the application look here
    ~TestFolder(); // and stop looking here

    QString path() const; // with a trailing separator
    QString filePath(const QString &name) const { return path() + name; }
    QString settingsPath() const { return filePath(QStringLiteral("Tinlark.ini")); }
    QString databasePath() const { return filePath(QStringLiteral("Speeches.csp")); }

    void writeSettings(const QByteArray &content) const;
    QByteArray readSettings() const;

private:
    QTemporaryDir m_dir;
};
