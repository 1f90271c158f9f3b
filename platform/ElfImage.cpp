#include "ElfImage.h"

#include <QBuffer>

namespace {

using ByteOrder = BinaryReader::ByteOrder;

constexpr quint32 SectionWithoutBytes = 8; // SHT_NOBITS
constexpr quint16 ExtendedIndex = 0xFFFF;  // SHN_XINDEX: the real index is kept in section 0

// Where the fields of the file header and of a section header lie in one ELF class.
struct Layout
{
    bool wide;                // 64-bit fields
    quint64 sectionTable;     // e_shoff
    quint64 sectionEntrySize; // e_shentsize
    quint64 sectionCount;     // e_shnum
    quint64 nameTableIndex;   // e_shstrndx
    quint64 minimumEntrySize;
    quint64 type, offset, size, link; // within a section header
};

constexpr Layout Elf32{false, 0x20, 0x2E, 0x30, 0x32, 40, 4, 16, 20, 24};
constexpr Layout Elf64{true, 0x28, 0x3A, 0x3C, 0x3E, 64, 4, 24, 32, 40};

// A field that is 32 or 64 bits wide depending on the class.
std::optional<quint64> address(const BinaryReader &reader, const Layout &layout, quint64 at, ByteOrder order)
{
    if (layout.wide)
        return reader.u64(at, order);
    const std::optional<quint32> value = reader.u32(at, order);
    return value ? std::optional<quint64>(*value) : std::nullopt;
}

} // namespace

namespace ElfImage {

std::optional<FileRange> findSection(const BinaryReader &file, QByteArrayView name)
{
    const std::optional<QByteArray> ident = file.read(0, 16);
    if (!ident || !ident->startsWith("\x7F" "ELF"))
        return std::nullopt;
    const Layout *layout = nullptr;
    if (ident->at(4) == 1)
        layout = &Elf32;
    else if (ident->at(4) == 2)
        layout = &Elf64;
    else
        return std::nullopt;
    ByteOrder order;
    if (ident->at(5) == 1)
        order = ByteOrder::LittleEndian;
    else if (ident->at(5) == 2)
        order = ByteOrder::BigEndian;
    else
        return std::nullopt;

    const std::optional<quint64> tableOffset = address(file, *layout, layout->sectionTable, order);
    const std::optional<quint16> entrySize = file.u16(layout->sectionEntrySize, order);
    const std::optional<quint16> count16 = file.u16(layout->sectionCount, order);
    const std::optional<quint16> nameIndex16 = file.u16(layout->nameTableIndex, order);
    if (!tableOffset || *tableOffset == 0 || !entrySize || *entrySize < layout->minimumEntrySize || !count16
        || !nameIndex16)
        return std::nullopt;

    // Files with very many sections keep the count and the name table's index in section 0.
    quint64 count = *count16;
    quint64 nameIndex = *nameIndex16;
    if (count == 0 || nameIndex == ExtendedIndex) {
        const std::optional<QByteArray> first = file.read(*tableOffset, *entrySize);
        if (!first)
            return std::nullopt;
        QBuffer buffer;
        buffer.setData(*first);
        buffer.open(QIODevice::ReadOnly);
        const BinaryReader header(buffer);
        if (count == 0)
            count = address(header, *layout, layout->size, order).value_or(0);
        if (nameIndex == ExtendedIndex)
            nameIndex = header.u32(layout->link, order).value_or(0);
    }
    if (count == 0 || count > file.size() / *entrySize || nameIndex >= count)
        return std::nullopt;

    // The section table is read at once and taken apart in memory.
    std::optional<QByteArray> tableBytes = file.read(*tableOffset, count * *entrySize);
    if (!tableBytes)
        return std::nullopt;
    QBuffer buffer(&*tableBytes);
    buffer.open(QIODevice::ReadOnly);
    const BinaryReader table(buffer);
    auto field = [&](quint64 index, quint64 at) { return address(table, *layout, index * *entrySize + at, order); };
    auto nameOffset = [&](quint64 index) { return table.u32(index * *entrySize, order); };

    const std::optional<quint64> namesOffset = field(nameIndex, layout->offset);
    const std::optional<quint64> namesSize = field(nameIndex, layout->size);
    if (!namesOffset || !namesSize)
        return std::nullopt;
    const std::optional<QByteArray> names = file.read(*namesOffset, *namesSize);
    if (!names)
        return std::nullopt;

    QByteArray wanted = name.toByteArray();
    wanted.append('\0');
    for (quint64 i = 0; i < count; ++i) {
        const std::optional<quint32> at = nameOffset(i);
        if (!at || *at > quint64(names->size()) || quint64(names->size()) - *at < quint64(wanted.size())
            || QByteArrayView(*names).sliced(qsizetype(*at), wanted.size()) != wanted)
            continue;
        const std::optional<quint32> type = table.u32(i * *entrySize + layout->type, order);
        const std::optional<quint64> offset = field(i, layout->offset);
        const std::optional<quint64> size = field(i, layout->size);
        if (!type || *type == SectionWithoutBytes || !offset || !size || !file.contains(*offset, *size))
            continue;
        return FileRange{*offset, *size};
    }
    return std::nullopt;
}

} // namespace ElfImage
