#pragma once

#include "TLongVersion.h"
#include "TVersionCharSet.h"
#include "TVersionLanguage.h"
#include "VersionResource.h"

#include <QDateTime>
#include <QString>
#include <memory>

// The version record of one executable file: the texts of its string table, its fixed
// numbers and flags, its language and code page, and the file's date. The record is read
// once, when the file is named; every getter looks it up anew. Missing parts read as empty
// texts, zeros or an Unknown member, never as an error.
class TVersionInfo
{
public:
    // FileName is taken as it stands; an empty name names no file.
    explicit TVersionInfo(const QString &FileName);
    virtual ~TVersionInfo();
    TVersionInfo(const TVersionInfo &) = delete;
    TVersionInfo &operator=(const TVersionInfo &) = delete;

    // Loads the record of the named file; leaves the object without one when it cannot.
    void ReadVersionInfo();

    QString GetFileName() const;
    // Drops the record held and reads the one of FileName.
    void SetFileName(const QString &FileName);

    // The first translation entry, pointing into the record: valid until SetFileName or
    // destruction. Null when there is none.
    const LANGANDCODEPAGE *GetTranslation() const;
    // The first translation entry as eight upper-case hexadecimal digits, language first
    // ("040904E4"); empty when there is none.
    QString GetTranslationString() const;
    TVersionLanguage GetVersionLanguage() const;
    TVersionCharSet GetVersionCharSet() const;

    // The fixed part, pointing into the record (valid as GetTranslation's), or null.
    const VS_FIXEDFILEINFO *GetFixedFileInfo() const;
    TLongVersion GetFileLongVersion() const;
    TLongVersion GetProductLongVersion() const;
    // The first two numbers of the file version, the first in the high 16 bits; 0 without a
    // record.
    qint32 GetVersionNum() const;

    // The value of one key of the string table of the first translation; empty when it is
    // missing or the query would be longer than 255 bytes.
    QString GetVerValue(const QString &Name) const;
    // The file's last-modification time at two-second resolution, local time; 30 December
    // 1899, 00:00 when there is no such file.
    QDateTime GetVerFileDate() const;

    QString GetComments() const;
    QString GetCompanyName() const;
    QString GetFileDescription() const;
    // The "FileVersion" text, or the fixed file version when that is empty.
    QString GetFileVersion() const;
    QString GetInternalName() const;
    QString GetLegalCopyright() const;
    QString GetLegalTrademarks() const;
    QString GetOriginalFilename() const;
    // The "ProductVersion" text, or the fixed product version when that is empty.
    QString GetProductVersion() const;
    QString GetProductName() const;

    // The build flags of the fixed part, each as a fixed text when set and empty otherwise.
    QString GetDebugBuild() const;
    QString GetPreReleaseBuild() const;
    QString GetPrivateBuild() const;
    QString GetSpecialBuild() const;

private:
    friend bool OkToWriteModule(const QString &ModuleName, qint32 VersionNum);

    QString flagText(quint32 flag, const QString &text) const;

    QString FPathName;
    bool FHasInfo = false;
    quint32 FInfoSize = 0;
    std::unique_ptr<char[]> FInfoBlock;
    quint32 FInfoHandle = 0;
};
