#include "InputBytes.h"

#include "ETransferError.h"

#include <QIODevice>

namespace {

constexpr qint64 SliceBytes = 1 << 16;

} // namespace

bool InputBytes::fill()
{
    if (m_next < m_buffer.size())
        return true;
    m_buffer.resize(SliceBytes);
    const qint64 read = m_device.read(m_buffer.data(), SliceBytes);
    if (read < 0)
        throw ETransferError(QStringLiteral("line %1: cannot read on: %2").arg(m_line).arg(m_device.errorString()));
    m_buffer.resize(read);
    m_next = 0;
    return read > 0;
}

int InputBytes::peek()
{
    return fill() ? uchar(m_buffer[m_next]) : -1;
}

int InputBytes::get()
{
    if (!fill())
        return -1;
    const int byte = uchar(m_buffer[m_next++]);
    // A line ends with LF, CR LF or a lone CR, as editors show it.
    if (byte == '\n' || (byte == '\r' && peek() != '\n')) {
        ++m_line;
        m_column = 1;
    } else {
        ++m_column;
    }
    return byte;
}

void InputBytes::skipByteOrderMark()
{
    // A slice holds all three bytes unless the whole file is shorter.
    if (fill() && m_buffer.mid(m_next, 3) == "\xEF\xBB\xBF")
        m_next += 3;
}
