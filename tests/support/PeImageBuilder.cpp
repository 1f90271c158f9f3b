#include "PeImageBuilder.h"

#include "ByteWriter.h"

#include <QMap>

namespace {

constexpr quint32 SectionRva = 0x1000;
constexpr quint32 FileAlignment = 0x200;
constexpr quint32 SubdirectoryFlag = 0x80000000u;

qsizetype alignedTo(qsizetype value, qsizetype alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

} // namespace

void PeImageBuilder::addResource(quint32 type, quint32 name, quint16 language, const QByteArray &data)
{
    m_resources.append({type, name, language, data});
}

QByteArray PeImageBuilder::resourceSection(quint32 sectionRva) const
{
    // type -> name -> indexes of the resources, in the order added
    QMap<quint32, QMap<quint32, QList<qsizetype>>> tree;
    for (qsizetype i = 0; i < m_resources.size(); ++i)
        tree[m_resources[i].type][m_resources[i].name].append(i);

    // Directories first (root, types, names), then the data entries, then the data.
    auto directorySize = [](qsizetype entries) { return 16 + 8 * entries; };
    qsizetype offset = directorySize(tree.size());
    QMap<quint32, qsizetype> typeDirectory;
    QMap<std::pair<quint32, quint32>, qsizetype> nameDirectory;
    for (auto type = tree.cbegin(); type != tree.cend(); ++type) {
        typeDirectory[type.key()] = offset;
        offset += directorySize(type->size());
    }
    for (auto type = tree.cbegin(); type != tree.cend(); ++type) {
        for (auto name = type->cbegin(); name != type->cend(); ++name) {
            nameDirectory[{type.key(), name.key()}] = offset;
            offset += directorySize(name->size());
        }
    }
    const qsizetype dataEntries = offset;
    qsizetype dataOffset = dataEntries + 16 * m_resources.size();

    ByteWriter section;
    auto writeDirectory = [&](qsizetype at, qsizetype entries) { section.u16(at + 14, quint16(entries)); };
    auto subdirectory = [&](qsizetype target) {
        return SubdirectoryFlag | quint32(m_directoriesPointAtRoot ? 0 : target);
    };

    writeDirectory(0, tree.size());
    qsizetype entry = 16;
    for (auto type = tree.cbegin(); type != tree.cend(); ++type, entry += 8) {
        section.u32(entry, type.key());
        section.u32(entry + 4, subdirectory(typeDirectory[type.key()]));
        writeDirectory(typeDirectory[type.key()], type->size());
        qsizetype nameEntry = typeDirectory[type.key()] + 16;
        for (auto name = type->cbegin(); name != type->cend(); ++name, nameEntry += 8) {
            const qsizetype names = nameDirectory[{type.key(), name.key()}];
            section.u32(nameEntry, name.key());
            section.u32(nameEntry + 4, subdirectory(names));
            writeDirectory(names, name->size());
            qsizetype languageEntry = names + 16;
            for (qsizetype index : *name) {
                const Resource &resource = m_resources[index];
                const qsizetype dataEntry = dataEntries + 16 * index;
                section.u32(languageEntry, resource.language);
                section.u32(languageEntry + 4, quint32(dataEntry));
                languageEntry += 8;
                section.u32(dataEntry, m_recordedDataAddress.value_or(sectionRva + quint32(dataOffset)));
                section.u32(dataEntry + 4, m_recordedDataSize.value_or(quint32(resource.data.size())));
                section.bytes(dataOffset, resource.data);
                dataOffset = alignedTo(dataOffset + resource.data.size(), 8);
            }
        }
    }
    section.resize(dataOffset);
    return section.data();
}

QByteArray PeImageBuilder::build() const
{
    const bool plus = m_format == Format::Pe32Plus;
    const QByteArray resources = resourceSection(SectionRva);
    const quint32 rawSize = quint32(alignedTo(resources.size(), FileAlignment));

    ByteWriter image;
    image.bytes(0, "MZ");
    image.u32(0x3C, 0x40);
    image.bytes(0x40, QByteArray("PE\0\0", 4));
    const qsizetype coff = 0x44;
    image.u16(coff, plus ? 0x8664 : 0x14C);      // machine
    image.u16(coff + 2, 1);                       // one section
    const quint16 optionalSize = plus ? 240 : 224;
    image.u16(coff + 16, optionalSize);
    image.u16(coff + 18, 0x0102);                 // executable image
    const qsizetype optional = coff + 20;
    image.u16(optional, plus ? 0x20B : 0x10B);
    image.u32(optional + 32, 0x1000);             // section alignment
    image.u32(optional + 36, FileAlignment);
    image.u32(optional + 56, SectionRva + rawSize); // size of image
    image.u32(optional + 60, FileAlignment);      // size of headers
    const qsizetype directories = optional + (plus ? 112 : 96);
    image.u32(directories - 4, 16);               // number of data directories
    image.u32(directories + 16, SectionRva);      // the resource directory
    image.u32(directories + 20, quint32(resources.size()));

    const qsizetype sectionHeader = optional + optionalSize;
    image.bytes(sectionHeader, ".rsrc");
    image.u32(sectionHeader + 8, quint32(resources.size())); // virtual size
    image.u32(sectionHeader + 12, SectionRva);
    image.u32(sectionHeader + 16, rawSize);
    image.u32(sectionHeader + 20, FileAlignment);
    image.u32(sectionHeader + 36, 0x40000040);    // initialised data, readable

    image.bytes(FileAlignment, resources);
    image.resize(FileAlignment + rawSize);
    return image.data();
}
