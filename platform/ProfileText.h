#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The lines of a settings file of the profile format ("[Section]" and "Key=Value" lines), as
// Windows reads and writes them. The file may be 8-bit text (UTF-8, or Windows-1252 where it
// is no valid UTF-8, line by line) or UTF-16 with a byte-order mark; a line ends at CR LF, LF
// or a lone CR. Lines that are not changed are written back byte for byte, in the encoding
// and with the line ends they came with.
class ProfileText
{
public:
    ProfileText() = default; // an empty file
    explicit ProfileText(const QByteArray &bytes);

    // The value of key in section: the text after the first "=", without blanks and Ctrl+Z
    // around it, cut at a NUL character and taken out of matching quotes. Names match without
    // regard to case and surrounding blanks; the first matching section and key win.
    std::optional<QString> value(const QString &section, const QString &key) const;

    // Replaces the line of key in section, or adds one at the end of the section, or adds the
    // section at the end of the file.
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;

private:
    enum class Encoding { EightBit, Utf16LittleEndian, Utf16BigEndian };
    enum class LineEnd : quint8 { None, Lf, Cr, CrLf }; // None only for a last line

    // Kept small: a file of a million empty lines is a million of these.
    struct Line
    {
        QByteArray content; // the line as it is stored, without its end
        LineEnd end = LineEnd::None;
    };

    void splitLines(const QByteArray &bytes, qsizetype start);
    QString decode(const QByteArray &content) const;
    QString textOf(qsizetype line) const { return decode(m_lines[line].content); }
    char16_t unitAt(const QByteArray &bytes, qsizetype offset) const;
    // Cheap tests on the stored bytes that spare most lines the decoding.
    bool maybeSectionLine(qsizetype line) const;
    bool maybeKeyLine(qsizetype line) const;
    QByteArray encode(const QString &text) const;
    LineEnd newLineEnd() const;
    qsizetype findSection(const QString &section) const;

    Encoding m_encoding = Encoding::EightBit;
    QByteArray m_byteOrderMark;
    QList<Line> m_lines;
    QByteArray m_trailingByte; // a lone byte after the last whole UTF-16 unit
};
