#include "TVersionInfo.h"

#include "Lm_verinfo.h"

#include <QFileInfo>
#include <QtEndian>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the record's numbers are read in place");

namespace {

// The query path lived in a buffer of 256 characters, one of them for the terminating zero.
constexpr qsizetype MaxQueryPathLength = 255;

// The date-time that stands for "no date".
QDateTime dateTimeZero()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

} // namespace

TVersionInfo::TVersionInfo(const QString &FileName) : FPathName(FileName)
{
    ReadVersionInfo();
}

TVersionInfo::~TVersionInfo() = default;

void TVersionInfo::ReadVersionInfo()
{
    FHasInfo = false;
    FInfoSize = VersionResource::getFileVersionInfoSize(FPathName, &FInfoHandle);
    if (FInfoSize == 0)
        return;
    FInfoBlock.reset(new char[FInfoSize]);
    FHasInfo = VersionResource::getFileVersionInfo(FPathName, FInfoHandle, FInfoSize, FInfoBlock.get());
}

QString TVersionInfo::GetFileName() const
{
    return FPathName;
}

void TVersionInfo::SetFileName(const QString &FileName)
{
    FInfoBlock.reset();
    FInfoSize = 0;
    FPathName = FileName;
    ReadVersionInfo();
}

const LANGANDCODEPAGE *TVersionInfo::GetTranslation() const
{
    if (!FHasInfo)
        return nullptr;
    const void *value = nullptr;
    quint32 length = 0;
    if (!VersionResource::verQueryValue(FInfoBlock.get(), FInfoSize, QStringLiteral("\\VarFileInfo\\Translation"),
                                        &value, &length)
        || length < sizeof(LANGANDCODEPAGE))
        return nullptr;
    return static_cast<const LANGANDCODEPAGE *>(value);
}

QString TVersionInfo::GetTranslationString() const
{
    const LANGANDCODEPAGE *translation = GetTranslation();
    if (!translation)
        return QString();
    return QStringLiteral("%1%2")
        .arg(translation->wLanguage, 4, 16, QLatin1Char('0'))
        .arg(translation->wCodePage, 4, 16, QLatin1Char('0'))
        .toUpper();
}

TVersionLanguage TVersionInfo::GetVersionLanguage() const
{
    const LANGANDCODEPAGE *translation = GetTranslation();
    if (!translation)
        return vlUnknown;
    for (size_t member = 0; member < VersionLanguageIds.size(); ++member) {
        if (VersionLanguageIds[member] == translation->wLanguage)
            return TVersionLanguage(member);
    }
    return vlUnknown;
}

TVersionCharSet TVersionInfo::GetVersionCharSet() const
{
    const LANGANDCODEPAGE *translation = GetTranslation();
    if (!translation)
        return vcsUnknown;
    for (size_t member = 0; member < VersionCharSetCodePages.size(); ++member) {
        if (VersionCharSetCodePages[member] == translation->wCodePage)
            return TVersionCharSet(member);
    }
    return vcsUnknown;
}

const VS_FIXEDFILEINFO *TVersionInfo::GetFixedFileInfo() const
{
    if (!FHasInfo)
        return nullptr;
    const void *value = nullptr;
    quint32 length = 0;
    if (!VersionResource::verQueryValue(FInfoBlock.get(), FInfoSize, QStringLiteral("\\"), &value, &length)
        || length < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    return static_cast<const VS_FIXEDFILEINFO *>(value);
}

TLongVersion TVersionInfo::GetFileLongVersion() const
{
    const VS_FIXEDFILEINFO *info = GetFixedFileInfo();
    return info ? TLongVersion::fromWords(info->dwFileVersionMS, info->dwFileVersionLS) : TLongVersion();
}

TLongVersion TVersionInfo::GetProductLongVersion() const
{
    const VS_FIXEDFILEINFO *info = GetFixedFileInfo();
    return info ? TLongVersion::fromWords(info->dwProductVersionMS, info->dwProductVersionLS) : TLongVersion();
}

qint32 TVersionInfo::GetVersionNum() const
{
    const VS_FIXEDFILEINFO *info = GetFixedFileInfo();
    return info ? qint32(info->dwFileVersionMS) : 0;
}

QString TVersionInfo::GetVerValue(const QString &Name) const
{
    if (!FHasInfo)
        return QString();
    const QString path =
        QStringLiteral("\\StringFileInfo\\") + GetTranslationString() + QLatin1Char('\\') + Name;
    // A name too long for the query finds nothing rather than a cut-off key.
    if (path.toUtf8().size() > MaxQueryPathLength)
        return QString();
    const void *value = nullptr;
    quint32 length = 0;
    if (!VersionResource::verQueryValue(FInfoBlock.get(), FInfoSize, path, &value, &length))
        return QString();
    const char *text = static_cast<const char *>(value);
    return QString::fromUtf8(text, qsizetype(qstrnlen(text, length)));
}

QDateTime TVersionInfo::GetVerFileDate() const
{
    const QFileInfo file(GetFileName());
    if (GetFileName().isEmpty() || !file.exists() || file.isDir())
        return dateTimeZero();
    const QDateTime modified = file.lastModified().toLocalTime();
    // The date is packed as a DOS date-time: years 1980 to 2107, even seconds.
    const int year = modified.date().year();
    if (year < 1980 || year > 2107)
        return dateTimeZero();
    const QTime time = modified.time();
    return QDateTime(modified.date(), QTime(time.hour(), time.minute(), time.second() & ~1));
}

QString TVersionInfo::GetComments() const
{
    return GetVerValue(QStringLiteral("Comments"));
}

QString TVersionInfo::GetCompanyName() const
{
    return GetVerValue(QStringLiteral("CompanyName"));
}

QString TVersionInfo::GetFileDescription() const
{
    return GetVerValue(QStringLiteral("FileDescription"));
}

QString TVersionInfo::GetFileVersion() const
{
    const QString text = GetVerValue(QStringLiteral("FileVersion"));
    if (text.isEmpty() && FHasInfo)
        return LongVersionToString(GetFileLongVersion());
    return text;
}

QString TVersionInfo::GetInternalName() const
{
    return GetVerValue(QStringLiteral("InternalName"));
}

QString TVersionInfo::GetLegalCopyright() const
{
    return GetVerValue(QStringLiteral("LegalCopyright"));
}

QString TVersionInfo::GetLegalTrademarks() const
{
    return GetVerValue(QStringLiteral("LegalTrademarks"));
}

QString TVersionInfo::GetOriginalFilename() const
{
    return GetVerValue(QStringLiteral("OriginalFilename"));
}

QString TVersionInfo::GetProductVersion() const
{
    const QString text = GetVerValue(QStringLiteral("ProductVersion"));
    if (text.isEmpty() && FHasInfo)
        return LongVersionToString(GetProductLongVersion());
    return text;
}

QString TVersionInfo::GetProductName() const
{
    return GetVerValue(QStringLiteral("ProductName"));
}

QString TVersionInfo::flagText(quint32 flag, const QString &text) const
{
    const VS_FIXEDFILEINFO *info = GetFixedFileInfo();
    return info && (info->dwFileFlags & flag) ? text : QString();
}

QString TVersionInfo::GetDebugBuild() const
{
    return flagText(0x01, QStringLiteral("DebugBuild"));
}

QString TVersionInfo::GetPreReleaseBuild() const
{
    return flagText(0x02, QStringLiteral("B\u00E8ta"));
}

QString TVersionInfo::GetPrivateBuild() const
{
    return flagText(0x08, QStringLiteral("PrivateBuild"));
}

QString TVersionInfo::GetSpecialBuild() const
{
    return flagText(0x20, QStringLiteral("SpecialBuild"));
}
