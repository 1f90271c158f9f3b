#include "JsonReader.h"

#include "ETransferError.h"
#include "Utf8Text.h"

namespace {

const char *const Keys[4] = {"Language", "Keywords", "Text", "Comments"};

bool isSpace(int byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

bool isScalarByte(int byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || byte == '-' || byte == '+' || byte == '.'
           || byte == 'E';
}

void appendUtf8(QByteArray &bytes, char32_t c)
{
    bytes += QString::fromUcs4(&c, 1).toUtf8();
}

} // namespace

JsonReader::JsonReader(QIODevice &device) : m_in(device)
{
    m_in.skipByteOrderMark();
    if (skipSpace() != '[')
        fail(QStringLiteral("the file does not begin with '[': it is not a JSON array of speeches"));
    m_in.get();
}

void JsonReader::fail(const QString &reason) const
{
    failAt(m_in.line(), m_in.column(), reason);
}

void JsonReader::failAt(qint64 line, qint64 column, const QString &reason) const
{
    throw ETransferError(QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(reason));
}

int JsonReader::skipSpace()
{
    while (isSpace(m_in.peek()))
        m_in.get();
    return m_in.peek();
}

void JsonReader::expect(char wanted, const char *what)
{
    if (skipSpace() != wanted)
        fail(QStringLiteral("expected %1").arg(QLatin1String(what)));
    m_in.get();
}

void JsonReader::readEscape(QByteArray &bytes)
{
    const int byte = m_in.get();
    const char *const plain = "\"\\/bfnrt";
    const char *const meant = "\"\\/\b\f\n\r\t";
    for (int i = 0; plain[i]; ++i) {
        if (byte == plain[i]) {
            bytes += meant[i];
            return;
        }
    }
    if (byte != 'u')
        fail(QStringLiteral("an unknown escape in a string"));
    const auto hex4 = [this] {
        char32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = QChar::fromLatin1(char(std::max(m_in.get(), 0))).toLower().unicode();
            const int nibble = digit >= '0' && digit <= '9' ? digit - '0' : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10 : -1;
            if (nibble < 0)
                fail(QStringLiteral("\\u is not followed by four hexadecimal digits"));
            value = value * 16 + char32_t(nibble);
        }
        return value;
    };
    char32_t c = hex4();
    if (c >= 0xDC00 && c <= 0xDFFF)
        fail(QStringLiteral("a lone surrogate escape"));
    if (c >= 0xD800 && c <= 0xDBFF) {
        if (m_in.get() != '\\' || m_in.get() != 'u')
            fail(QStringLiteral("a lone surrogate escape"));
        const char32_t low = hex4();
        if (low < 0xDC00 || low > 0xDFFF)
            fail(QStringLiteral("a lone surrogate escape"));
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
    }
    appendUtf8(bytes, c);
}

QString JsonReader::readString()
{
    const qint64 line = m_in.line(), column = m_in.column() - 1; // at the opening quote
    QByteArray bytes;
    for (;;) {
        const int byte = m_in.get();
        if (byte < 0)
            fail(QStringLiteral("a string is not closed"));
        if (byte == '"')
            break;
        if (byte < 0x20)
            fail(QStringLiteral("a control character inside a string (write it as an escape)"));
        if (bytes.size() >= Utf8Text::MaxValueBytes)
            fail(QStringLiteral("a string is longer than %1 MiB").arg(Utf8Text::MaxValueBytes >> 20));
        if (byte == '\\')
            readEscape(bytes);
        else
            bytes += char(byte);
    }
    const std::optional<QString> text = Utf8Text::decode(bytes);
    if (!text)
        failAt(line, column, QStringLiteral("the text is not UTF-8 (save the file as UTF-8 and import it again)"));
    return *text;
}

QVariant JsonReader::readValue()
{
    const int first = skipSpace();
    m_valueLine = m_in.line();
    m_valueColumn = m_in.column();
    if (first == '"') {
        m_in.get();
        return readString();
    }
    QByteArray word;
    while (isScalarByte(m_in.peek()) && word.size() < 64)
        word += char(m_in.get());
    if (word == "null")
        return QVariant();
    const bool number = !word.isEmpty() && (word[0] == '-' || (word[0] >= '0' && word[0] <= '9'));
    if (!number && word != "true" && word != "false")
        fail(first == '{' || first == '[' ? QStringLiteral("a value is an object or an array; speeches hold text")
                                          : QStringLiteral("expected a value"));
    return QVariant(false); // passed over
}

bool JsonReader::next(TransferRecord &record)
{
    if (m_done)
        return false;
    const int byte = skipSpace();
    if (byte == ']' || (!m_first && byte != ',')) {
        if (byte != ']')
            fail(QStringLiteral("expected ',' or ']' after a speech"));
        m_in.get();
        if (skipSpace() >= 0)
            fail(QStringLiteral("text after the end of the array"));
        m_done = true;
        return false;
    }
    if (!m_first)
        m_in.get();
    m_first = false;

    skipSpace();
    record = TransferRecord();
    record.place = QStringLiteral("line %1, column %2").arg(m_in.line()).arg(m_in.column());
    expect('{', "'{' beginning a speech");
    bool seen[4] = {};
    QVariant *values[4] = {nullptr, &record.keywords, &record.text, &record.comments};
    if (skipSpace() == '}') {
        m_in.get();
    } else {
        for (;;) {
            expect('"', "a key in quotes");
            const QString key = readString();
            expect(':', "':' after a key");
            int known = 0;
            while (known < 4 && key != QLatin1String(Keys[known]))
                ++known;
            if (known < 4) {
                if (seen[known])
                    fail(QStringLiteral("the key %1 twice in one speech").arg(key));
                seen[known] = true;
                const QVariant value = readValue();
                if (value.typeId() == QMetaType::Bool || (known == 0 && value.isNull()))
                    failAt(m_valueLine, m_valueColumn, QStringLiteral("the value of %1 is not a string%2").arg(key, known == 0 ? "" : " or null"));
                if (known == 0)
                    record.language = value.toString();
                else
                    *values[known] = value;
            } else {
                readValue(); // the ID, or a key of another program
            }
            if (skipSpace() == '}') {
                m_in.get();
                break;
            }
            expect(',', "',' or '}' after a value");
        }
    }
    for (int known = 0; known < 4; ++known) {
        if (!seen[known])
            throw ETransferError(QStringLiteral("%1: the speech has no key %2").arg(record.place, Keys[known]));
    }
    return true;
}
