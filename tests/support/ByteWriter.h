#pragma once

#include <QByteArray>
#include <QtGlobal>

// Lays out binary files for tests: numbers of either byte order at given offsets of a buffer
// that grows as needed.
class ByteWriter
{
public:
    explicit ByteWriter(bool bigEndian = false) : m_bigEndian(bigEndian) {}

    void u8(qsizetype offset, quint8 value);
    void u16(qsizetype offset, quint16 value);
    void u32(qsizetype offset, quint32 value);
    void u64(qsizetype offset, quint64 value);
    void bytes(qsizetype offset, const QByteArray &value);
    // Grows the buffer with zeros to at least size bytes.
    void resize(qsizetype size);

    qsizetype size() const { return m_data.size(); }
    const QByteArray &data() const { return m_data; }

private:
    void put(qsizetype offset, quint64 value, int width);

    bool m_bigEndian;
    QByteArray m_data;
};
