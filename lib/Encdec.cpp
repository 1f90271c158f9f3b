#include "Encdec.h"

namespace {

// direction is +1 to scramble and -1 to unscramble.
QByteArray shifted(const QByteArray &text, int direction)
{
    QByteArray result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const unsigned shift = unsigned(10 + (i + 1)) % 256;
        result[i] = char(quint8(quint8(text[i]) + unsigned(direction) * shift));
    }
    return result;
}

} // namespace

QByteArray Encrypt(const QByteArray &Text)
{
    return shifted(Text, +1);
}

QByteArray Decrypt(const QByteArray &Text)
{
    return shifted(Text, -1);
}
