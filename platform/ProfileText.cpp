#include "ProfileText.h"

#include "AnsiText.h"

namespace {

constexpr char16_t CtrlZ = 0x1A; // the end-of-file mark of old DOS files, taken for a blank

bool isProfileBlank(QChar c)
{
    const char16_t unit = c.unicode();
    return (unit >= u'\t' && unit <= u'\r') || unit == u' ' || unit == CtrlZ;
}

QString trimmedProfile(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isProfileBlank(text[begin]))
        ++begin;
    while (end > begin && isProfileBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The name of a section line "[Name]", or a null string when the line is no section line.
QString sectionName(const QString &line)
{
    const QString trimmed = trimmedProfile(line);
    if (!trimmed.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return QString();
    return trimmedProfile(trimmed.mid(1, close - 1));
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isKeyLine(const QString &line, const QString &key)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals >= 0 && sameName(trimmedProfile(line.left(equals)), trimmedProfile(key));
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

QString valueOfKeyLine(const QString &line)
{
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1);
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return stripQuotes(trimmedProfile(value));
}

} // namespace

ProfileText::ProfileText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        m_encoding = Encoding::Utf16LittleEndian;
    else if (bytes.startsWith("\xFE\xFF"))
        m_encoding = Encoding::Utf16BigEndian;
    if (m_encoding != Encoding::EightBit)
        m_byteOrderMark = bytes.left(2);
    else if (bytes.startsWith("\xEF\xBB\xBF"))
        m_byteOrderMark = bytes.left(3);
    splitLines(bytes, m_byteOrderMark.size());
}

void ProfileText::splitLines(const QByteArray &bytes, qsizetype start)
{
    const qsizetype unitSize = m_encoding == Encoding::EightBit ? 1 : 2;
    const qsizetype whole = start + (bytes.size() - start) / unitSize * unitSize;
    m_trailingByte = bytes.mid(whole);

    qsizetype lineStart = start;
    for (qsizetype at = start; at < whole;) {
        const char16_t unit = unitAt(bytes, at);
        if (unit != u'\r' && unit != u'\n') {
            at += unitSize;
            continue;
        }
        const bool crLf = unit == u'\r' && at + unitSize < whole && unitAt(bytes, at + unitSize) == u'\n';
        m_lines.append(Line{bytes.mid(lineStart, at - lineStart), crLf ? LineEnd::CrLf : unit == u'\r' ? LineEnd::Cr : LineEnd::Lf});
        at += crLf ? 2 * unitSize : unitSize;
        lineStart = at;
    }
    if (lineStart < whole)
        m_lines.append(Line{bytes.mid(lineStart, whole - lineStart), LineEnd::None});
}

char16_t ProfileText::unitAt(const QByteArray &bytes, qsizetype offset) const
{
    const auto first = quint8(bytes[offset]);
    if (m_encoding == Encoding::EightBit)
        return first;
    const auto second = quint8(bytes[offset + 1]);
    return m_encoding == Encoding::Utf16LittleEndian ? char16_t(first | second << 8) : char16_t(first << 8 | second);
}

QString ProfileText::decode(const QByteArray &content) const
{
    if (m_encoding == Encoding::EightBit)
        return decodeUtf8OrWindows1252(content);
    // Unit by unit, so that even a stray half of a surrogate pair comes back as it was.
    QString text(content.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(unitAt(content, 2 * i));
    return text;
}

bool ProfileText::maybeSectionLine(qsizetype line) const
{
    const QByteArray &content = m_lines[line].content;
    const qsizetype unitSize = m_encoding == Encoding::EightBit ? 1 : 2;
    for (qsizetype at = 0; at + unitSize <= content.size(); at += unitSize) {
        const char16_t unit = unitAt(content, at);
        if (!isProfileBlank(QChar(unit)))
            return unit == u'[';
    }
    return false;
}

bool ProfileText::maybeKeyLine(qsizetype line) const
{
    const QByteArray &content = m_lines[line].content;
    const qsizetype unitSize = m_encoding == Encoding::EightBit ? 1 : 2;
    for (qsizetype at = 0; at + unitSize <= content.size(); at += unitSize) {
        if (unitAt(content, at) == u'=')
            return true;
    }
    return false;
}

QByteArray ProfileText::encode(const QString &text) const
{
    if (m_encoding == Encoding::EightBit)
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        const char low = char(unit & 0xFF);
        const char high = char(unit >> 8);
        if (m_encoding == Encoding::Utf16LittleEndian)
            bytes.append(low).append(high);
        else
            bytes.append(high).append(low);
    }
    return bytes;
}

// A new line ends as the file's first line does; a file without line ends gets LF.
ProfileText::LineEnd ProfileText::newLineEnd() const
{
    for (const Line &line : m_lines) {
        if (line.end != LineEnd::None)
            return line.end;
    }
    return LineEnd::Lf;
}

// Index of the first line of the first section named section, or -1.
qsizetype ProfileText::findSection(const QString &section) const
{
    const QString wanted = trimmedProfile(section);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (!maybeSectionLine(i))
            continue;
        const QString name = sectionName(textOf(i));
        if (!name.isNull() && sameName(name, wanted))
            return i;
    }
    return -1;
}

std::optional<QString> ProfileText::value(const QString &section, const QString &key) const
{
    const qsizetype start = findSection(section);
    if (start < 0)
        return std::nullopt;
    for (qsizetype i = start + 1; i < m_lines.size(); ++i) {
        if (!maybeSectionLine(i) && !maybeKeyLine(i))
            continue;
        const QString text = textOf(i);
        if (!sectionName(text).isNull())
            break;
        if (isKeyLine(text, key))
            return valueOfKeyLine(text);
    }
    return std::nullopt;
}

void ProfileText::setValue(const QString &section, const QString &key, const QString &value)
{
    const Line keyLine{encode(trimmedProfile(key) + QLatin1Char('=') + value), newLineEnd()};
    const qsizetype start = findSection(section);
    qsizetype insertAt = m_lines.size();
    if (start >= 0) {
        qsizetype lastKeyLine = start;
        for (qsizetype i = start + 1; i < m_lines.size(); ++i) {
            if (!maybeSectionLine(i) && !maybeKeyLine(i) && m_lines[i].content.isEmpty())
                continue; // an empty line: neither a section, a key nor a last non-blank line
            const QString text = textOf(i);
            if (!sectionName(text).isNull())
                break;
            if (isKeyLine(text, key)) {
                m_lines[i].content = keyLine.content; // the line keeps its own end
                return;
            }
            if (!trimmedProfile(text).isEmpty())
                lastKeyLine = i;
        }
        // A new key goes after the section's last non-blank line, so that blank lines
        // separating it from the next section stay where they are.
        insertAt = lastKeyLine + 1;
    }
    // The line before a new one must end; only a last line may lack its end.
    if (insertAt == m_lines.size() && !m_lines.isEmpty() && m_lines.last().end == LineEnd::None)
        m_lines.last().end = keyLine.end;
    if (start < 0)
        m_lines.insert(insertAt++, Line{encode(QLatin1Char('[') + trimmedProfile(section) + QLatin1Char(']')), keyLine.end});
    m_lines.insert(insertAt, keyLine);
}

QByteArray ProfileText::toBytes() const
{
    const QByteArray lf = encode(QStringLiteral("\n"));
    const QByteArray cr = encode(QStringLiteral("\r"));
    QByteArray bytes = m_byteOrderMark;
    for (const Line &line : m_lines) {
        bytes += line.content;
        if (line.end == LineEnd::Cr || line.end == LineEnd::CrLf)
            bytes += cr;
        if (line.end == LineEnd::Lf || line.end == LineEnd::CrLf)
            bytes += lf;
    }
    return bytes + m_trailingByte;
}
