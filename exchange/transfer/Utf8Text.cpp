#include "Utf8Text.h"

#include <unicode/utf8.h>

namespace Utf8Text {

std::optional<QString> decode(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    const int32_t length = int32_t(bytes.size());
    for (int32_t i = 0; i < length;) {
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        UChar32 c = 0;
        U8_NEXT(data, i, length, c);
        if (c < 0)
            return std::nullopt;
    }
    return QString::fromUtf8(bytes);
}

qsizetype codePoints(const QString &text)
{
    qsizetype count = text.size();
    for (const QChar c : text)
        count -= c.isLowSurrogate() ? 1 : 0;
    return count;
}

} // namespace Utf8Text
