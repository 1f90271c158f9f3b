// Writes the seed corpus of the version reader's fuzz target into the folder given: small
// Windows and ELF executables with sound, oddly laid out and broken version records, and bare
// blocks.

#include "ElfImageBuilder.h"
#include "OddVersionRecords.h"
#include "PeImageBuilder.h"
#include "SampleVersionRecord.h"
#include "VersionBlockWriter.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstdio>

namespace {

using namespace VersionBlockWriter;

bool writeSeed(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray pe(const QByteArray &block, PeImageBuilder::Format format = PeImageBuilder::Format::Pe32)
{
    PeImageBuilder builder(format);
    builder.addResource(3, 1, 0x0409, "an icon");
    builder.addVersionBlock(block);
    return builder.build();
}

QByteArray elf(const QByteArray &block, ElfImageBuilder::Format format, bool bigEndian)
{
    ElfImageBuilder builder(format, bigEndian);
    builder.addSection(".text", "code");
    builder.addSection(".vs_version_info", block);
    return builder.build();
}

QByteArray withLength(QByteArray bytes, quint16 length)
{
    qToLittleEndian(length, bytes.data());
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_version_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;

    const QByteArray full = versionBlock(sampleVersionRecord(fullVersionValues()));
    VersionRecord bare = sampleVersionRecord({});
    bare.translations.clear();
    const QByteArray table = node(QStringLiteral("040904E4"), 1, QByteArray(), 0,
                                  {withLength(textNode(QStringLiteral("Zero"), QStringLiteral("z")), 0),
                                   textNode(QStringLiteral("After"), QStringLiteral("a"))});
    const QByteArray zeroLength = node(QStringLiteral("VS_VERSION_INFO"), 0, fixedFileInfo(VS_FIXEDFILEINFO()), 52,
                                       {node(QStringLiteral("StringFileInfo"), 1, QByteArray(), 0, {table})});

    PeImageBuilder loop;
    loop.addVersionBlock(full);
    loop.setDirectoriesPointAtRoot(true);
    PeImageBuilder shortData;
    shortData.addVersionBlock(full);
    shortData.setRecordedDataSize(quint32(full.size() / 2));
    ElfImageBuilder manySections(ElfImageBuilder::Format::Elf64);
    manySections.addSection(".vs_version_info", full);
    manySections.setCountsInFirstSection(true);

    QList<std::pair<QString, QByteArray>> seeds = {
        {"pe32", pe(full)},
        {"pe32plus", pe(full, PeImageBuilder::Format::Pe32Plus)},
        {"pe32-bare", pe(versionBlock(bare))},
        {"pe32-zero-length-node", pe(zeroLength)},
        {"pe32-directory-loop", loop.build()},
        {"pe32-short-data", shortData.build()},
        {"elf32-le", elf(full, ElfImageBuilder::Format::Elf32, false)},
        {"elf64-le", elf(full, ElfImageBuilder::Format::Elf64, false)},
        {"elf64-be", elf(full, ElfImageBuilder::Format::Elf64, true)},
        {"elf64-counts-in-section-0", manySections.build()},
        {"block", full},
        {"block-bare", versionBlock(bare)},
        {"block-past-end", withLength(full, 0xFFFF)},
    };
    // Records with one odd entry, each in a Windows executable whose directory records the
    // resource's size.
    for (const OddVersionRecord &record : oddVersionRecords()) {
        PeImageBuilder builder;
        builder.addVersionBlock(record.block);
        builder.setRecordedDataSize(record.resourceSize);
        seeds.append({QStringLiteral("pe32-odd-") + QString(record.name).replace(QLatin1Char(' '), QLatin1Char('-')),
                      builder.build()});
    }
    for (const auto &[name, bytes] : seeds) {
        if (!writeSeed(folder, name, bytes))
            return 1;
    }
    return 0;
}
