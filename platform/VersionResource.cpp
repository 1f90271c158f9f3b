#include "VersionResource.h"

#include "BinaryReader.h"
#include "ElfImage.h"
#include "PeImage.h"
#include "VersionBlock.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <optional>

namespace {

quint32 alignedTo4(quint32 size)
{
    return (size + 3) & ~quint32(3);
}

// The texts of the block are handed out as UTF-8, each at a place of its own behind the raw
// block: a value at offset o of the block goes to offset 3 * o / 2 of that room. A UTF-16 unit
// takes at most three UTF-8 bytes, so texts of different nodes never overlap, and a pointer
// handed out earlier keeps its text.
quint32 textRoomOffset(quint32 blockSize)
{
    return alignedTo4(blockSize);
}

quint32 textRoomSize(quint32 blockSize)
{
    return alignedTo4(blockSize * 3 / 2 + 1);
}

QByteArray readVersionBlockOfFile(const QString &fileName)
{
    // Only plain files: opening a pipe or a device could wait for ever.
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return QByteArray();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return VersionResource::readVersionBlock(file);
}

} // namespace

namespace VersionResource {

QByteArray readVersionBlock(QIODevice &device)
{
    const BinaryReader reader(device);
    std::optional<FileRange> range = PeImage::findVersionResource(reader);
    if (!range)
        range = ElfImage::findSection(reader, SectionName);
    if (!range)
        return QByteArray();
    // The block's own length, in its first two bytes, says how much of the resource it is.
    const std::optional<quint16> length = reader.u16(range->offset);
    if (!length || *length > range->size)
        return QByteArray();
    const std::optional<QByteArray> block = reader.read(range->offset, *length);
    if (!block || !VersionBlock::isWellFormed(*block))
        return QByteArray();
    return *block;
}

quint32 bufferSizeFor(quint32 blockSize)
{
    return textRoomOffset(blockSize) + textRoomSize(blockSize);
}

quint32 getFileVersionInfoSize(const QString &fileName, quint32 *handle)
{
    if (handle)
        *handle = 0;
    const QByteArray block = readVersionBlockOfFile(fileName);
    return block.isEmpty() ? 0 : bufferSizeFor(quint32(block.size()));
}

bool getFileVersionInfo(const QString &fileName, quint32 handle, quint32 size, void *data)
{
    Q_UNUSED(handle);
    if (!data)
        return false;
    const QByteArray block = readVersionBlockOfFile(fileName);
    if (block.isEmpty() || size < bufferSizeFor(quint32(block.size())))
        return false;
    std::memcpy(data, block.constData(), size_t(block.size()));
    std::memset(static_cast<char *>(data) + block.size(), 0, size - size_t(block.size()));
    return true;
}

bool verQueryValue(void *block, quint32 blockSize, const QString &subBlock, const void **buffer, quint32 *length)
{
    if (buffer)
        *buffer = nullptr;
    if (length)
        *length = 0;
    if (!block || !buffer || !length || blockSize < 2)
        return false;
    char *bytes = static_cast<char *>(block);
    const quint32 rawSize = quint8(bytes[0]) | quint32(quint8(bytes[1])) << 8;
    if (rawSize > blockSize)
        return false;
    const QByteArrayView raw(bytes, rawSize);
    const std::optional<VersionBlock::Node> node = VersionBlock::find(raw, subBlock);
    if (!node)
        return false;
    if (!node->isText()) {
        *buffer = bytes + node->valueOffset;
        *length = quint32(node->valueSize);
        return true;
    }
    const QByteArray utf8 = VersionBlock::text(raw, *node).toUtf8();
    const quint64 at = quint64(textRoomOffset(rawSize)) + quint64(node->valueOffset) * 3 / 2;
    if (at + quint64(utf8.size()) + 1 > blockSize)
        return false;
    char *target = bytes + at;
    std::memcpy(target, utf8.constData(), size_t(utf8.size()));
    target[utf8.size()] = '\0';
    *buffer = target;
    *length = quint32(utf8.size()) + 1;
    return true;
}

} // namespace VersionResource
