#include "IniFile.h"

#include "EConvertError.h"
#include "Exception.h"
#include "PrivateProfile.h"
#include "StrToInt.h"

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return PrivateProfile::getString(section, key, defaultValue, m_fileName);
}

int IniFile::parseInteger(const QString &text, int defaultValue)
{
    // The reader took the blanks around the value away; any blank left (one that stood inside
    // quotes, or after "0x") makes the value no integer.
    if (text.contains(QLatin1Char(' ')) || text.contains(QLatin1Char('\t')))
        return defaultValue;
    // "0x" stands for the framework's "$"; hexadecimal covers all 32 bits, so 0xFFFFFFFF
    // reads as -1. A second "0x" or a sign after the first is no hexadecimal digit.
    const bool hexadecimal =
        text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")));
    try {
        return strToInt(hexadecimal ? QLatin1Char('$') + text.mid(2) : text);
    } catch (const EConvertError &) {
        return defaultValue;
    }
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = readString(section, key, QString());
    if (text.isEmpty())
        return defaultValue;
    return parseInteger(text, defaultValue);
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    writeStrings(section, {{key, value}});
}

void IniFile::writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues)
{
    if (!PrivateProfile::writeStrings(section, keysAndValues, m_fileName))
        throw Exception(QStringLiteral("Unable to write to %1").arg(m_fileName));
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
