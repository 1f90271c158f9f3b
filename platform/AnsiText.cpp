#include "AnsiText.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {

// Bytes 0x80 to 0x9F of Windows-1252. The five bytes the code page leaves undefined map to the
// control characters of the same number, as Windows itself converts them.
constexpr std::array<char16_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto value = quint8(byte);
        *out++ = QChar(value >= 0x80 && value < 0xA0 ? HighControlRange[value - 0x80] : char16_t(value));
    }
    return text;
}

} // namespace

QString decodeUtf8OrWindows1252(QByteArrayView bytes)
{
    // Most lines are plain ASCII, which every one of the encodings reads alike.
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return quint8(byte) < 0x80; }))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}
