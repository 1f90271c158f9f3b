#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

class QIODevice;

// A run of bytes inside a file: where it starts and how long it is.
struct FileRange
{
    quint64 offset = 0;
    quint64 size = 0;
};

// Reads numbers and byte runs at given offsets of a file or buffer that nobody vouches for.
// Every read either lies wholly inside the data or yields nothing; no offset or size taken
// from the data can make it read elsewhere.
class BinaryReader
{
public:
    enum class ByteOrder { LittleEndian, BigEndian };

    // device must be open for reading and allow seeking; a sequential device reads as empty.
    explicit BinaryReader(QIODevice &device);

    quint64 size() const { return m_size; }

    // The size bytes at offset, or nothing when they do not all lie inside the data.
    std::optional<QByteArray> read(quint64 offset, quint64 size) const;

    std::optional<quint16> u16(quint64 offset, ByteOrder order = ByteOrder::LittleEndian) const;
    std::optional<quint32> u32(quint64 offset, ByteOrder order = ByteOrder::LittleEndian) const;
    std::optional<quint64> u64(quint64 offset, ByteOrder order = ByteOrder::LittleEndian) const;

    // True when the size bytes at offset lie inside the data.
    bool contains(quint64 offset, quint64 size) const { return offset <= m_size && size <= m_size - offset; }

private:
    template<typename T>
    std::optional<T> number(quint64 offset, ByteOrder order) const;

    QIODevice &m_device;
    quint64 m_size = 0;
};
