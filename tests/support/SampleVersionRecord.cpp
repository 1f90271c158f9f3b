#include "SampleVersionRecord.h"

VersionRecord sampleVersionRecord(const VersionValues &values)
{
    VersionRecord record;
    VS_FIXEDFILEINFO fixed;
    fixed.dwFileVersionMS = 0x00010000;
    fixed.dwFileVersionLS = 0x00000002;
    fixed.dwProductVersionMS = 0x00010000;
    fixed.dwProductVersionLS = 0x00000002;
    fixed.dwFileFlagsMask = 0x3F;
    fixed.dwFileOS = 0x4;
    fixed.dwFileType = 0x1;
    record.fixed = fixed;
    record.stringTables = {{QStringLiteral("040904E4"), values}};
    record.translations = {{0x0409, 1252}};
    return record;
}

VersionValues fullVersionValues()
{
    return {
        {QStringLiteral("CompanyName"), QStringLiteral("Some Company")},
        {QStringLiteral("FileDescription"), QStringLiteral("Some \"quoted\" description")},
        {QStringLiteral("FileVersion"), QStringLiteral("1.0.0.2 (text)")},
        {QStringLiteral("InternalName"), QStringLiteral("internal")},
        {QStringLiteral("LegalCopyright"), QStringLiteral("Copyright \u00A9 someone")},
        {QStringLiteral("LegalTrademarks"), QStringLiteral("marks")},
        {QStringLiteral("OriginalFilename"), QStringLiteral("original.exe")},
        {QStringLiteral("ProductName"), QStringLiteral("Some Product")},
        {QStringLiteral("ProductVersion"), QStringLiteral("1.0.0.0")},
        {QStringLiteral("Comments"), QStringLiteral("B\u00E8ta comments \U0001F600")},
    };
}
