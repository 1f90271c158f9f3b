#include "VersionResource.h"

#include "BinaryReader.h"
#include "ElfImage.h"
#include "LocaleInfo.h"
#include "PeImage.h"
#include "VersionBlock.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
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
    return VersionResource::readVersionBlock(file, LocaleInfo().userLanguage());
}

// A query below "\StringFileInfo\<table>\" asks for a text, whatever its entry says.
bool isStringQuery(const QString &subBlock)
{
    const QStringList keys = subBlock.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return keys.size() == 3 && keys.front().compare(QLatin1String("StringFileInfo"), Qt::CaseInsensitive) == 0;
}

} // namespace

namespace VersionResource {

QByteArray readVersionBlock(QIODevice &device, quint16 userLanguage)
{
    const BinaryReader reader(device);
    std::optional<FileRange> range = PeImage::findVersionResource(reader, userLanguage);
    if (!range)
        range = ElfImage::findSection(reader, SectionName);
    if (!range)
        return QByteArray();
    // The block's own length, in its first two bytes, says how much of the resource it is.
    const std::optional<quint16> length = reader.u16(range->offset);
    if (!length)
        return QByteArray();
    std::optional<QByteArray> block = reader.read(range->offset, std::min<quint64>(*length, range->size));
    if (!block || block->size() < VersionBlock::HeaderSize)
        return QByteArray();
    // The buffer must describe itself: verQueryValue knows the block only by this length.
    if (*length > block->size())
        qToLittleEndian(quint16(block->size()), block->data());
    const std::optional<VersionBlock::Node> root = VersionBlock::readNode(*block, 0, block->size());
    if (!root || root->key.compare(QLatin1String("VS_VERSION_INFO"), Qt::CaseInsensitive) != 0)
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
    const bool stringQuery = isStringQuery(subBlock);
    if (!node->isText() && !stringQuery) {
        *buffer = bytes + node->valueOffset;
        *length = quint32(node->valueSize);
        return true;
    }
    VersionBlock::Node textNode = *node;
    // Windows hands out a string table's text up to its terminating zero, whatever length its
    // entry records; the end of the entry is the limit here.
    if (stringQuery)
        textNode.valueSize = node->end - node->valueOffset;
    const QByteArray utf8 = VersionBlock::text(raw, textNode).toUtf8();
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
