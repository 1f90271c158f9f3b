#include "BinaryReader.h"

#include <QIODevice>
#include <QtEndian>

namespace {

// One read never asks for more than this; the callers' tables and blocks are far smaller.
constexpr quint64 MaxReadSize = 64 * 1024 * 1024;

} // namespace

BinaryReader::BinaryReader(QIODevice &device) : m_device(device)
{
    if (device.isOpen() && device.isReadable() && !device.isSequential() && device.size() > 0)
        m_size = quint64(device.size());
}

std::optional<QByteArray> BinaryReader::read(quint64 offset, quint64 size) const
{
    if (!contains(offset, size) || size > MaxReadSize)
        return std::nullopt;
    if (!m_device.seek(qint64(offset)))
        return std::nullopt;
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < qint64(size)) {
        const qint64 got = m_device.read(bytes.data() + done, qint64(size) - done);
        if (got <= 0)
            return std::nullopt; // the file shrank under us, or a read error
        done += got;
    }
    return bytes;
}

template<typename T>
std::optional<T> BinaryReader::number(quint64 offset, ByteOrder order) const
{
    const std::optional<QByteArray> bytes = read(offset, sizeof(T));
    if (!bytes)
        return std::nullopt;
    return order == ByteOrder::LittleEndian ? qFromLittleEndian<T>(bytes->constData())
                                            : qFromBigEndian<T>(bytes->constData());
}

std::optional<quint16> BinaryReader::u16(quint64 offset, ByteOrder order) const
{
    return number<quint16>(offset, order);
}

std::optional<quint32> BinaryReader::u32(quint64 offset, ByteOrder order) const
{
    return number<quint32>(offset, order);
}

std::optional<quint64> BinaryReader::u64(quint64 offset, ByteOrder order) const
{
    return number<quint64>(offset, order);
}
