// Fuzz target of the version reader: every input is taken as an executable file (Windows or
// ELF) and as a bare version block, and every query the program makes is run on whatever
// comes out. A read outside the data, a hang or an endless recursion is a finding.

#include "Lm_verinfo.h"
#include "VersionResource.h"

#include <QBuffer>
#include <QFile>
#include <QStringList>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

namespace {

const QStringList Keys = {"Comments",     "CompanyName",      "FileDescription", "FileVersion", "InternalName",
                          "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductVersion", "ProductName"};

volatile unsigned sink = 0;

// Reads every byte of a value that was handed out, so that the sanitizer sees each of them.
void touch(const void *value, quint32 length)
{
    const auto *bytes = static_cast<const unsigned char *>(value);
    unsigned sum = 0;
    for (quint32 i = 0; i < length; ++i)
        sum += bytes[i];
    sink = sink + sum;
}

void queryBlock(QByteArray buffer, quint32 size, const QString &table)
{
    QStringList paths = {QStringLiteral("\\"), QStringLiteral("\\VarFileInfo\\Translation"),
                         QStringLiteral("\\StringFileInfo"), QStringLiteral("\\VarFileInfo")};
    for (const QString &key : Keys)
        paths.append(QStringLiteral("\\StringFileInfo\\%1\\%2").arg(table, key));
    for (const QString &path : paths) {
        const void *value = nullptr;
        quint32 length = 0;
        if (VersionResource::verQueryValue(buffer.data(), size, path, &value, &length))
            touch(value, length);
    }
}

// A block as getFileVersionInfo hands it out, and as it lies on its own without the room
// for texts.
void queryBlock(const QByteArray &block)
{
    const quint32 size = VersionResource::bufferSizeFor(quint32(block.size()));
    QByteArray buffer = block;
    buffer.append(qsizetype(size) - block.size(), '\0');
    queryBlock(buffer, size, QStringLiteral("040904E4"));
    queryBlock(block, quint32(block.size()), QStringLiteral("040904E4"));
}

// The whole unit on a file that holds the input.
void readAsFile(const QByteArray &input)
{
    static QTemporaryFile *file = [] {
        auto *temporary = new QTemporaryFile;
        (void)temporary->open();
        return temporary;
    }();
    file->resize(0);
    file->seek(0);
    file->write(input);
    file->flush();

    const TVersionInfo info(file->fileName());
    QString all = info.GetTranslationString() + info.GetDebugBuild() + info.GetPreReleaseBuild()
                  + info.GetPrivateBuild() + info.GetSpecialBuild();
    all += QString::number(info.GetVersionLanguage()) + QString::number(info.GetVersionCharSet());
    all += LongVersionToString(info.GetFileLongVersion()) + LongVersionToString(info.GetProductLongVersion());
    all += QString::number(info.GetVersionNum());
    all += info.GetComments() + info.GetCompanyName() + info.GetFileDescription() + info.GetFileVersion()
           + info.GetInternalName() + info.GetLegalCopyright() + info.GetLegalTrademarks()
           + info.GetOriginalFilename() + info.GetProductVersion() + info.GetProductName();
    sink = sink + unsigned(all.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));

    QBuffer device;
    device.setData(input);
    device.open(QIODevice::ReadOnly);
    // The language the user reads decides between the languages of a resource: the input's
    // first byte stands in for it, so that every language entry can be chosen.
    const quint16 userLanguage = size > 0 ? quint16(0x0400 | data[0]) : 0;
    const QByteArray block = VersionResource::readVersionBlock(device, userLanguage);
    if (!block.isEmpty()) {
        queryBlock(block);
        readAsFile(input);
    }
    queryBlock(input.left(0xFFFF));
    return 0;
}
