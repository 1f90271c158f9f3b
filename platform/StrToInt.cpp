#include "StrToInt.h"

#include "EConvertError.h"

namespace {

[[noreturn]] void notAnInteger(const QString &text)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

} // namespace

qint32 strToInt(const QString &text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at] == QLatin1Char(' '))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('-') || text[at] == QLatin1Char('+'))) {
        negative = text[at] == QLatin1Char('-');
        ++at;
    }
    int base = 10;
    if (at < text.size() && text[at] == QLatin1Char('$')) {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == QLatin1Char('0')
               && (text[at + 1] == QLatin1Char('x') || text[at + 1] == QLatin1Char('X'))) {
        base = 16;
        at += 2;
    }
    if (at == text.size())
        notAnInteger(text);

    // Decimal numbers stop at the signed limit (one more for a negative one), hexadecimal
    // numbers at 32 bits.
    const quint64 limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    quint64 value = 0;
    for (; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            notAnInteger(text);
        value = value * quint64(base) + quint64(digit);
        if (value > limit)
            notAnInteger(text);
    }
    const quint32 bits = quint32(value);
    return qint32(negative ? 0u - bits : bits);
}
