#include "PrivateProfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

// Settings files are small; anything much larger is not ours and is not read into memory.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

struct ProfileText
{
    QStringList lines;
    QString lineBreak = QStringLiteral("\n");
};

ProfileText readProfile(const QString &fileName)
{
    ProfileText text;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize)
        return text;
    const QString content = QString::fromUtf8(file.readAll());
    if (content.contains(QLatin1String("\r\n")))
        text.lineBreak = QStringLiteral("\r\n");
    text.lines = content.split(QLatin1Char('\n'));
    for (QString &line : text.lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // A file that ends with a line break yields one empty piece after it, not a line.
    if (!text.lines.isEmpty() && text.lines.last().isEmpty())
        text.lines.removeLast();
    return text;
}

// The name of a section line "[Name]", or a null string when the line is no section line.
QString sectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return QString();
    return trimmed.mid(1, close - 1).trimmed();
}

bool isKeyLine(const QString &line, const QString &key)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return false;
    return line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first line of the first section named section, or -1.
qsizetype findSection(const QStringList &lines, const QString &section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

QString stripQuotes(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

namespace PrivateProfile {

QString getString(const QString &section, const QString &key, const QString &defaultValue,
                  const QString &fileName, int bufferSize)
{
    const QStringList lines = readProfile(fileName).lines;
    const qsizetype start = findSection(lines, section);
    QString value = defaultValue;
    if (start >= 0) {
        for (qsizetype i = start + 1; i < lines.size() && sectionName(lines[i]).isNull(); ++i) {
            if (isKeyLine(lines[i], key)) {
                value = stripQuotes(lines[i].mid(lines[i].indexOf(QLatin1Char('=')) + 1).trimmed());
                break;
            }
        }
    }
    if (bufferSize > 0 && value.size() > bufferSize - 1)
        value.truncate(bufferSize - 1);
    return value;
}

bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &fileName)
{
    ProfileText text = readProfile(fileName);
    QStringList &lines = text.lines;
    const QString keyLine = key.trimmed() + QLatin1Char('=') + value;
    const qsizetype start = findSection(lines, section);
    if (start < 0) {
        lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        lines.append(keyLine);
    } else {
        qsizetype lastKeyLine = start;
        qsizetype i = start + 1;
        bool replaced = false;
        for (; i < lines.size() && sectionName(lines[i]).isNull(); ++i) {
            if (isKeyLine(lines[i], key)) {
                lines[i] = keyLine;
                replaced = true;
                break;
            }
            if (!lines[i].trimmed().isEmpty())
                lastKeyLine = i;
        }
        // A new key goes after the section's last non-blank line, so that blank lines
        // separating it from the next section stay where they are.
        if (!replaced)
            lines.insert(lastKeyLine + 1, keyLine);
    }

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray content = (lines.join(text.lineBreak) + text.lineBreak).toUtf8();
    if (file.write(content) != content.size())
        return false;
    return file.commit();
}

} // namespace PrivateProfile
