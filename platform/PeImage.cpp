#include "PeImage.h"

#include <QBuffer>

namespace {

constexpr quint16 DosMagic = 0x5A4D;      // "MZ"
constexpr quint32 PeSignature = 0x4550;   // "PE\0\0"
constexpr quint16 Pe32Magic = 0x10B;
constexpr quint16 Pe32PlusMagic = 0x20B;
constexpr quint32 ResourceDirectoryIndex = 2;
constexpr quint32 VersionResourceType = 16;
constexpr quint32 VersionResourceName = 1;
constexpr quint32 SubdirectoryFlag = 0x80000000u;
constexpr quint64 SectionHeaderSize = 40;
constexpr quint64 DirectoryEntrySize = 8;
constexpr quint32 NeutralLanguage = 0x0000;
constexpr quint32 UsEnglish = 0x0409;

// One section of the image: where its bytes lie in memory (relative) and in the file.
struct Section
{
    quint32 virtualAddress = 0;
    quint32 rawSize = 0;
    quint32 rawOffset = 0;
};

class Image
{
public:
    explicit Image(const BinaryReader &file) : m_file(file) {}

    bool readHeaders();
    std::optional<FileRange> versionResource(quint16 userLanguage) const;

private:
    // One entry of a resource directory: a name or number, and where it leads.
    struct Entry
    {
        quint32 id = 0;
        quint32 offset = 0;
    };

    std::optional<quint64> fileOffset(quint32 rva, quint64 size) const;
    std::optional<QList<Entry>> entries(quint32 directoryOffset) const;
    std::optional<quint32> findEntry(quint32 directoryOffset, quint32 id) const;
    std::optional<quint32> chooseLanguage(quint32 directoryOffset, quint16 userLanguage) const;

    const BinaryReader &m_file;
    QList<Section> m_sections;
    quint32 m_resourceRva = 0;
};

bool Image::readHeaders()
{
    if (m_file.u16(0) != DosMagic)
        return false;
    const std::optional<quint32> peOffset = m_file.u32(0x3C);
    if (!peOffset || m_file.u32(*peOffset) != PeSignature)
        return false;
    const quint64 coff = quint64(*peOffset) + 4;
    const std::optional<quint16> sectionCount = m_file.u16(coff + 2);
    const std::optional<quint16> optionalSize = m_file.u16(coff + 16);
    const quint64 optional = coff + 20;
    const std::optional<quint16> magic = m_file.u16(optional);
    if (!sectionCount || !optionalSize || !magic)
        return false;

    quint64 directoryCountOffset = 0;
    if (*magic == Pe32Magic)
        directoryCountOffset = 92;
    else if (*magic == Pe32PlusMagic)
        directoryCountOffset = 108;
    else
        return false;
    const quint64 resourceEntry = directoryCountOffset + 4 + ResourceDirectoryIndex * 8;
    const std::optional<quint32> directoryCount = m_file.u32(optional + directoryCountOffset);
    if (!directoryCount || *directoryCount <= ResourceDirectoryIndex || resourceEntry + 8 > *optionalSize)
        return false;
    const std::optional<quint32> resourceRva = m_file.u32(optional + resourceEntry);
    if (!resourceRva || *resourceRva == 0)
        return false;
    m_resourceRva = *resourceRva;

    // The section table is read at once and taken apart in memory.
    std::optional<QByteArray> table =
        m_file.read(optional + *optionalSize, quint64(*sectionCount) * SectionHeaderSize);
    if (!table)
        return false;
    QBuffer buffer(&*table);
    buffer.open(QIODevice::ReadOnly);
    const BinaryReader headers(buffer);
    for (quint64 i = 0; i < *sectionCount; ++i) {
        const quint64 at = i * SectionHeaderSize;
        Section section;
        section.virtualAddress = headers.u32(at + 12).value_or(0);
        section.rawSize = headers.u32(at + 16).value_or(0);
        section.rawOffset = headers.u32(at + 20).value_or(0);
        m_sections.append(section);
    }
    return true;
}

// Where the size bytes at rva lie in the file, when they lie wholly in one section's data.
std::optional<quint64> Image::fileOffset(quint32 rva, quint64 size) const
{
    for (const Section &section : m_sections) {
        if (rva < section.virtualAddress)
            continue;
        const quint64 inSection = rva - section.virtualAddress;
        if (inSection >= section.rawSize)
            continue;
        if (size > section.rawSize - inSection)
            return std::nullopt;
        const quint64 offset = section.rawOffset + inSection;
        if (!m_file.contains(offset, size))
            return std::nullopt;
        return offset;
    }
    return std::nullopt;
}

// The entries of the directory at directoryOffset (relative to the start of the resource
// directory), those with names first and those with numbers after them; nothing when the
// directory is empty or does not lie wholly in the file.
std::optional<QList<Image::Entry>> Image::entries(quint32 directoryOffset) const
{
    const quint64 directoryRva = quint64(m_resourceRva) + directoryOffset;
    if (directoryRva > 0xFFFFFFFFu)
        return std::nullopt;
    const std::optional<quint64> header = fileOffset(quint32(directoryRva), 16);
    if (!header)
        return std::nullopt;
    const quint32 namedCount = m_file.u16(*header + 12).value_or(0);
    const quint32 idCount = m_file.u16(*header + 14).value_or(0);
    const quint64 entryCount = namedCount + idCount;
    if (entryCount == 0 || directoryRva + 16 > 0xFFFFFFFFu)
        return std::nullopt;
    const std::optional<quint64> entriesOffset = fileOffset(quint32(directoryRva + 16), entryCount * DirectoryEntrySize);
    if (!entriesOffset)
        return std::nullopt;
    std::optional<QByteArray> bytes = m_file.read(*entriesOffset, entryCount * DirectoryEntrySize);
    if (!bytes)
        return std::nullopt;
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    const BinaryReader table(buffer);
    QList<Entry> list;
    for (quint64 i = 0; i < entryCount; ++i)
        list.append(Entry{table.u32(i * DirectoryEntrySize).value_or(0), table.u32(i * DirectoryEntrySize + 4).value_or(0)});
    return list;
}

// The offset field of the entry with the number id (named entries never match).
std::optional<quint32> Image::findEntry(quint32 directoryOffset, quint32 id) const
{
    const std::optional<QList<Entry>> list = entries(directoryOffset);
    if (!list)
        return std::nullopt;
    for (const Entry &entry : *list) {
        if (!(entry.id & SubdirectoryFlag) && entry.id == id)
            return entry.offset;
    }
    return std::nullopt;
}

// The offset field of the language entry Windows takes: the user's language, language-neutral,
// US English, or else the first entry.
std::optional<quint32> Image::chooseLanguage(quint32 directoryOffset, quint16 userLanguage) const
{
    const std::optional<QList<Entry>> list = entries(directoryOffset);
    if (!list)
        return std::nullopt;
    QList<quint32> preferred = {NeutralLanguage, UsEnglish};
    if (userLanguage != 0)
        preferred.prepend(userLanguage);
    for (const quint32 language : preferred) {
        for (const Entry &entry : *list) {
            if (entry.id == language)
                return entry.offset;
        }
    }
    return list->first().offset;
}

std::optional<FileRange> Image::versionResource(quint16 userLanguage) const
{
    // Three levels: type, then name, then language; the first two lead to directories, the
    // third to the description of the data. Each step goes down by a fixed lookup, so a
    // directory that points back at itself ends the search instead of repeating it.
    const std::optional<quint32> types = findEntry(0, VersionResourceType);
    if (!types || !(*types & SubdirectoryFlag))
        return std::nullopt;
    const std::optional<quint32> names = findEntry(*types & ~SubdirectoryFlag, VersionResourceName);
    if (!names || !(*names & SubdirectoryFlag))
        return std::nullopt;
    const std::optional<quint32> language = chooseLanguage(*names & ~SubdirectoryFlag, userLanguage);
    if (!language || (*language & SubdirectoryFlag))
        return std::nullopt;

    const quint64 dataEntryRva = quint64(m_resourceRva) + *language;
    if (dataEntryRva > 0xFFFFFFFFu)
        return std::nullopt;
    const std::optional<quint64> dataEntry = fileOffset(quint32(dataEntryRva), 16);
    if (!dataEntry)
        return std::nullopt;
    const std::optional<quint32> dataRva = m_file.u32(*dataEntry);
    const std::optional<quint32> dataSize = m_file.u32(*dataEntry + 4);
    if (!dataRva || !dataSize)
        return std::nullopt;
    const std::optional<quint64> data = fileOffset(*dataRva, *dataSize);
    if (!data)
        return std::nullopt;
    return FileRange{*data, *dataSize};
}

} // namespace

namespace PeImage {

std::optional<FileRange> findVersionResource(const BinaryReader &file, quint16 userLanguage)
{
    Image image(file);
    if (!image.readHeaders())
        return std::nullopt;
    return image.versionResource(userLanguage);
}

} // namespace PeImage
