#pragma once

#include <QList>
#include <QString>
#include <utility>

// A settings file of the profile format, read value by value and written value by value or
// several values at once. Every write goes to the file at once; a write the system refuses raises "Unable to write to <file>".
// Integers are written in decimal and read in decimal or, after "0x", in hexadecimal;
// booleans are written as "1" and "0" and read as integers, any non-zero value being true.
// Missing and unreadable values yield the caller's default.
class IniFile
{
public:
    explicit IniFile(QString fileName);

    const QString &fileName() const { return m_fileName; }

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    // Several values of one section in one write of the file: all of them, or none.
    void writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues);

    // The integer a settings text stands for, or defaultValue when it is none.
    static int parseInteger(const QString &text, int defaultValue);

private:
    QString m_fileName;
};
