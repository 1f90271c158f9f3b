#include "ElfImageBuilder.h"

#include "ByteWriter.h"

namespace {

qsizetype alignedTo8(qsizetype value)
{
    return (value + 7) & ~qsizetype(7);
}

} // namespace

void ElfImageBuilder::addSection(const QByteArray &name, const QByteArray &bytes, quint32 type)
{
    m_sections.append({name, bytes, type});
}

QByteArray ElfImageBuilder::build() const
{
    const bool wide = m_format == Format::Elf64;
    const qsizetype headerSize = wide ? 64 : 52;
    const qsizetype entrySize = wide ? 64 : 40;

    // Section 0 is the empty one, then the sections added, then the name table.
    QList<Section> sections = m_sections;
    QByteArray names(1, '\0');
    QList<quint32> nameOffsets;
    for (const Section &section : sections) {
        nameOffsets.append(quint32(names.size()));
        names += section.name + '\0';
    }
    nameOffsets.append(quint32(names.size()));
    names += QByteArray(".shstrtab") + '\0';
    sections.append({".shstrtab", names, 3});

    ByteWriter file(m_bigEndian);
    file.bytes(0, "\x7F" "ELF");
    file.u8(4, wide ? 2 : 1);
    file.u8(5, m_bigEndian ? 2 : 1);
    file.u8(6, 1);
    file.u16(16, 2); // an executable
    file.u16(18, wide ? 62 : 3);
    file.u32(20, 1);

    QList<qsizetype> offsets;
    qsizetype offset = headerSize;
    for (const Section &section : sections) {
        offset = alignedTo8(offset);
        offsets.append(offset);
        file.bytes(offset, section.bytes);
        offset += section.bytes.size();
    }
    const qsizetype table = alignedTo8(offset);
    const quint64 count = quint64(sections.size()) + 1;
    const quint64 nameIndex = count - 1;

    auto address = [&](qsizetype at, quint64 value) { wide ? file.u64(at, value) : file.u32(at, quint32(value)); };
    address(wide ? 40 : 32, quint64(table));
    file.u16(wide ? 52 : 40, quint16(headerSize));
    file.u16(wide ? 58 : 46, quint16(entrySize));
    file.u16(wide ? 60 : 48, m_countsInFirstSection ? 0 : quint16(count));
    file.u16(wide ? 62 : 50, m_countsInFirstSection ? 0xFFFF : quint16(nameIndex));

    // Offsets of the fields within a section header.
    const qsizetype typeField = 4, offsetField = wide ? 24 : 16, sizeField = wide ? 32 : 20, linkField = wide ? 40 : 24;
    file.resize(table + qsizetype(count) * entrySize);
    if (m_countsInFirstSection) {
        address(table + sizeField, count);
        file.u32(table + linkField, quint32(nameIndex));
    }
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const qsizetype at = table + (i + 1) * entrySize;
        file.u32(at, nameOffsets[i]);
        file.u32(at + typeField, sections[i].type);
        address(at + offsetField, quint64(offsets[i]));
        address(at + sizeField, quint64(sections[i].bytes.size()));
    }
    return file.data();
}
