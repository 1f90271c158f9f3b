#include "IniFile.h"

#include "Exception.h"
#include "PrivateProfile.h"

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return PrivateProfile::getString(section, key, defaultValue, m_fileName);
}

int IniFile::parseInteger(const QString &text, int defaultValue)
{
    bool ok = false;
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        // Hexadecimal covers the whole 32 bits, so 0xFFFFFFFF reads as -1.
        const uint value = text.mid(2).toUInt(&ok, 16);
        return ok ? static_cast<int>(value) : defaultValue;
    }
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
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
    if (!PrivateProfile::writeString(section, key, value, m_fileName))
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
