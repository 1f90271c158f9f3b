#include "JetTextDecoder.h"

#include <QStringDecoder>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace {

// A Jet 4 value that starts with these two bytes is stored compressed.
constexpr unsigned char CompressedMark0 = 0xff;
constexpr unsigned char CompressedMark1 = 0xfe;

// A converter for a Windows code page, refusing bytes that the code page does not define.
UConverter *openCodePage(int codePage)
{
    for (const QString &name : {QStringLiteral("windows-%1").arg(codePage), QStringLiteral("cp%1").arg(codePage)}) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter *converter = ucnv_open(name.toLatin1().constData(), &status);
        if (U_FAILURE(status))
            continue;
        ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        if (U_SUCCESS(status))
            return converter;
        ucnv_close(converter);
    }
    return nullptr;
}

} // namespace

void JetTextDecoder::Closer::operator()(UConverter *converter) const
{
    ucnv_close(converter);
}

JetTextDecoder::JetTextDecoder() = default;

JetTextDecoder::JetTextDecoder(int codePage) : m_jet3(true), m_codePage(codePage > 0 ? openCodePage(codePage) : nullptr)
{
}

JetTextDecoder::~JetTextDecoder() = default;
JetTextDecoder::JetTextDecoder(JetTextDecoder &&) noexcept = default;
JetTextDecoder &JetTextDecoder::operator=(JetTextDecoder &&) noexcept = default;

bool JetTextDecoder::codePageSupported() const
{
    return !m_jet3 || m_codePage != nullptr;
}

std::optional<QString> JetTextDecoder::decode(const char *data, qsizetype size) const
{
    if (size == 0)
        return QString(QLatin1String(""));
    if (m_jet3)
        return decodeCodePage(data, size);
    if (size >= 2 && quint8(data[0]) == CompressedMark0 && quint8(data[1]) == CompressedMark1)
        return decodeCompressed(data + 2, size - 2);
    return decodeUtf16(data, size);
}

std::optional<QString> JetTextDecoder::decodeUtf16(const char *data, qsizetype size) const
{
    if (size % 2 != 0)
        return std::nullopt;
    QStringDecoder utf16(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
    QString text = utf16.decode(QByteArrayView(data, size));
    if (utf16.hasError())
        return std::nullopt;
    return text;
}

// The compressed form: a zero byte switches between one byte a character (the character's
// code) and two bytes a character (UTF-16); it starts in the one-byte mode.
std::optional<QString> JetTextDecoder::decodeCompressed(const char *data, qsizetype size) const
{
    QByteArray utf16;
    utf16.reserve(size * 2);
    bool oneByte = true;
    for (qsizetype i = 0; i < size;) {
        if (data[i] == 0) {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            utf16.append(data[i++]);
            utf16.append('\0');
        } else {
            if (i + 1 >= size)
                return std::nullopt;
            utf16.append(data[i]);
            utf16.append(data[i + 1]);
            i += 2;
        }
    }
    return decodeUtf16(utf16.constData(), utf16.size());
}

std::optional<QString> JetTextDecoder::decodeCodePage(const char *data, qsizetype size) const
{
    if (!m_codePage)
        return std::nullopt;
    ucnv_resetToUnicode(m_codePage.get());
    // A character of a Windows code page takes at most two bytes and gives at most two
    // UTF-16 units, so the text never needs more units than the value has bytes, plus one.
    QString text(size + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(m_codePage.get(), reinterpret_cast<UChar *>(text.data()), int32_t(text.size()),
                                         data, int32_t(size), &status);
    if (U_FAILURE(status) || length > text.size())
        return std::nullopt;
    text.truncate(length);
    return text;
}
