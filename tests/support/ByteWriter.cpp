#include "ByteWriter.h"

void ByteWriter::resize(qsizetype size)
{
    if (m_data.size() < size)
        m_data.append(size - m_data.size(), '\0');
}

void ByteWriter::put(qsizetype offset, quint64 value, int width)
{
    resize(offset + width);
    for (int i = 0; i < width; ++i) {
        const int shift = 8 * (m_bigEndian ? width - 1 - i : i);
        m_data[offset + i] = char(quint8(value >> shift));
    }
}

void ByteWriter::u8(qsizetype offset, quint8 value)
{
    put(offset, value, 1);
}

void ByteWriter::u16(qsizetype offset, quint16 value)
{
    put(offset, value, 2);
}

void ByteWriter::u32(qsizetype offset, quint32 value)
{
    put(offset, value, 4);
}

void ByteWriter::u64(qsizetype offset, quint64 value)
{
    put(offset, value, 8);
}

void ByteWriter::bytes(qsizetype offset, const QByteArray &value)
{
    resize(offset + value.size());
    m_data.replace(offset, value.size(), value);
}
