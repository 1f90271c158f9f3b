#include "EConvertError.h"
#include "Lm_verinfo.h"
#include "PeImageBuilder.h"
#include "SampleVersionRecord.h"
#include "TestMain.h"

#include <QFile>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(TVersionLanguage)
Q_DECLARE_METATYPE(TVersionCharSet)

namespace {

VS_FIXEDFILEINFO fixedWithFlags(quint32 flags)
{
    VS_FIXEDFILEINFO fixed = *sampleVersionRecord({}).fixed;
    fixed.dwFileFlags = flags;
    return fixed;
}

} // namespace

class tst_Lm_verinfo : public QObject
{
    Q_OBJECT

private slots:
    void translation_data();
    void translation();
    void namedValues();
    void versionFallsBackToFixedNumbers_data();
    void versionFallsBackToFixedNumbers();
    void buildFlags_data();
    void buildFlags();
    void withoutTranslation();
    void withoutRecord_data();
    void withoutRecord();
    void longNames();
    void setFileName();
    void verFileDate();
    void okToWriteModule_data();
    void okToWriteModule();
    void stringToLongVersion_data();
    void stringToLongVersion();
    void notAnInteger_data();
    void notAnInteger();
    void longVersionLayout();
    void ownVersionRecord_data();
    void ownVersionRecord();

private:
    // Writes a Windows executable holding record and returns its path.
    QString executableWith(const VersionRecord &record, const QString &name = QStringLiteral("program.exe"));

    QTemporaryDir m_dir;
};

QString tst_Lm_verinfo::executableWith(const VersionRecord &record, const QString &name)
{
    PeImageBuilder pe;
    pe.addVersionBlock(VersionBlockWriter::versionBlock(record));
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pe.build()) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void tst_Lm_verinfo::translation_data()
{
    QTest::addColumn<quint16>("language");
    QTest::addColumn<quint16>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TVersionLanguage>("versionLanguage");
    QTest::addColumn<TVersionCharSet>("charSet");

    QTest::newRow("US English, 1252") << quint16(0x0409) << quint16(1252) << "040904E4" << vlUSEnglish << vcsMultilingual;
    QTest::newRow("neutral, Unicode") << quint16(0x0000) << quint16(1200) << "000004B0" << vlUnknown << vcsUnicode;
    QTest::newRow("Spanish (modern sort)") << quint16(0x0C0A) << quint16(1252) << "0C0A04E4" << vlUnknown << vcsMultilingual;
    QTest::newRow("Arabic, ASCII") << quint16(0x0401) << quint16(0) << "04010000" << vlArabic << vcsASCII;
    QTest::newRow("Bahasa, Arabic") << quint16(0x0421) << quint16(1256) << "042104E8" << vlBahasa << vcsArabic;
    QTest::newRow("Swiss French, UTF-8") << quint16(0x100C) << quint16(65001) << "100CFDE9" << vlSwissFrench << vcsUnknown;
    QTest::newRow("Dutch, Japanese") << quint16(0x0413) << quint16(932) << "041303A4" << vlDutch << vcsJapan;
    QTest::newRow("Canadian French, 1255") << quint16(0x0C0C) << quint16(1255) << "0C0C04E7" << vlCanadianFrench << vcsHebrew;
}

void tst_Lm_verinfo::translation()
{
    QFETCH(quint16, language);
    QFETCH(quint16, codePage);
    QFETCH(QString, text);
    QFETCH(TVersionLanguage, versionLanguage);
    QFETCH(TVersionCharSet, charSet);

    VersionRecord record = sampleVersionRecord({});
    record.stringTables = {{text, {{QStringLiteral("ProductName"), QStringLiteral("found")}}}};
    record.translations = {{language, codePage}, {0x0409, 1252}};
    const TVersionInfo info(executableWith(record));
    QVERIFY(info.GetTranslation());
    QCOMPARE(info.GetTranslation()->wLanguage, language);
    QCOMPARE(info.GetTranslationString(), text);
    QCOMPARE(info.GetVersionLanguage(), versionLanguage);
    QCOMPARE(info.GetVersionCharSet(), charSet);
    QCOMPARE(info.GetProductName(), QStringLiteral("found"));
}

void tst_Lm_verinfo::namedValues()
{
    const TVersionInfo info(executableWith(sampleVersionRecord(fullVersionValues())));
    const QList<std::pair<QString, QString>> read = {
        {QStringLiteral("CompanyName"), info.GetCompanyName()},
        {QStringLiteral("FileDescription"), info.GetFileDescription()},
        {QStringLiteral("FileVersion"), info.GetFileVersion()},
        {QStringLiteral("InternalName"), info.GetInternalName()},
        {QStringLiteral("LegalCopyright"), info.GetLegalCopyright()},
        {QStringLiteral("LegalTrademarks"), info.GetLegalTrademarks()},
        {QStringLiteral("OriginalFilename"), info.GetOriginalFilename()},
        {QStringLiteral("ProductName"), info.GetProductName()},
        {QStringLiteral("ProductVersion"), info.GetProductVersion()},
        {QStringLiteral("Comments"), info.GetComments()},
    };
    QCOMPARE(read, fullVersionValues());
    QCOMPARE(info.GetVerValue(QStringLiteral("fileversion")), QStringLiteral("1.0.0.2 (text)"));
    QCOMPARE(info.GetVerValue(QStringLiteral("Missing")), QString());
    QCOMPARE(info.GetVersionNum(), 0x00010000);
}

void tst_Lm_verinfo::versionFallsBackToFixedNumbers_data()
{
    QTest::addColumn<VersionValues>("values");
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("productVersion");

    QTest::newRow("texts missing") << VersionValues() << "1.0.0.2" << "3.4.65535.6";
    QTest::newRow("texts empty") << VersionValues{{QStringLiteral("FileVersion"), QString()},
                                                  {QStringLiteral("ProductVersion"), QString()}}
                                 << "1.0.0.2" << "3.4.65535.6";
    QTest::newRow("texts given") << VersionValues{{QStringLiteral("FileVersion"), QStringLiteral("one")},
                                                  {QStringLiteral("ProductVersion"), QStringLiteral("two")}}
                                 << "one" << "two";
}

void tst_Lm_verinfo::versionFallsBackToFixedNumbers()
{
    QFETCH(VersionValues, values);
    QFETCH(QString, fileVersion);
    QFETCH(QString, productVersion);

    VersionRecord record = sampleVersionRecord(values);
    record.fixed->dwProductVersionMS = 0x00030004;
    record.fixed->dwProductVersionLS = 0xFFFF0006;
    const TVersionInfo info(executableWith(record));
    QCOMPARE(info.GetFileVersion(), fileVersion);
    QCOMPARE(info.GetProductVersion(), productVersion);
    QCOMPARE(LongVersionToString(info.GetProductLongVersion()), QStringLiteral("3.4.65535.6"));
}

void tst_Lm_verinfo::buildFlags_data()
{
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<QStringList>("texts"); // debug, pre-release, private, special

    QTest::newRow("none") << 0u << QStringList{QString(), QString(), QString(), QString()};
    QTest::newRow("debug") << 0x01u << QStringList{"DebugBuild", QString(), QString(), QString()};
    QTest::newRow("pre-release") << 0x02u << QStringList{QString(), "B\u00E8ta", QString(), QString()};
    QTest::newRow("private") << 0x08u << QStringList{QString(), QString(), "PrivateBuild", QString()};
    QTest::newRow("special") << 0x20u << QStringList{QString(), QString(), QString(), "SpecialBuild"};
    QTest::newRow("other flags") << 0x14u << QStringList{QString(), QString(), QString(), QString()};
    QTest::newRow("all") << 0x3Fu << QStringList{"DebugBuild", "B\u00E8ta", "PrivateBuild", "SpecialBuild"};
}

// The flags come from the fixed part alone, whatever the string table says.
void tst_Lm_verinfo::buildFlags()
{
    QFETCH(quint32, flags);
    QFETCH(QStringList, texts);

    for (const bool withTexts : {false, true}) {
        VersionRecord record = sampleVersionRecord({});
        if (withTexts)
            record = sampleVersionRecord({{QStringLiteral("PrivateBuild"), QStringLiteral("by me")},
                                          {QStringLiteral("SpecialBuild"), QStringLiteral("for you")},
                                          {QStringLiteral("PreReleaseBuild"), QStringLiteral("alpha")},
                                          {QStringLiteral("DebugBuild"), QStringLiteral("yes")}});
        record.fixed = fixedWithFlags(flags);
        const TVersionInfo info(executableWith(record));
        const QStringList read = {info.GetDebugBuild(), info.GetPreReleaseBuild(), info.GetPrivateBuild(),
                                  info.GetSpecialBuild()};
        QCOMPARE(read, texts);
    }
}

void tst_Lm_verinfo::withoutTranslation()
{
    VersionRecord record = sampleVersionRecord(fullVersionValues());
    record.translations.clear();
    const TVersionInfo info(executableWith(record));
    QVERIFY(!info.GetTranslation());
    QCOMPARE(info.GetTranslationString(), QString());
    QCOMPARE(info.GetVersionLanguage(), vlUnknown);
    QCOMPARE(info.GetVersionCharSet(), vcsUnknown);
    QCOMPARE(info.GetCompanyName(), QString());
    QCOMPARE(info.GetFileVersion(), QStringLiteral("1.0.0.2"));
    QVERIFY(info.GetFixedFileInfo());
}

void tst_Lm_verinfo::withoutRecord_data()
{
    QTest::addColumn<QString>("fileName");
    const QString missing = m_dir.filePath(QStringLiteral("missing.exe"));
    QTest::newRow("missing file") << missing;
    QTest::newRow("empty name") << QString();
    QTest::newRow("folder") << m_dir.path();

    QFile text(m_dir.filePath(QStringLiteral("text.txt")));
    text.open(QIODevice::WriteOnly);
    text.write("plain text\n");
    text.close();
    QTest::newRow("text file") << text.fileName();

    PeImageBuilder pe;
    pe.addResource(3, 1, 0x0409, VersionBlockWriter::versionBlock(sampleVersionRecord(fullVersionValues())));
    QFile withoutVersion(m_dir.filePath(QStringLiteral("icon.exe")));
    withoutVersion.open(QIODevice::WriteOnly);
    withoutVersion.write(pe.build());
    withoutVersion.close();
    QTest::newRow("executable without version resource") << withoutVersion.fileName();
}

void tst_Lm_verinfo::withoutRecord()
{
    QFETCH(QString, fileName);
    const TVersionInfo info(fileName);
    QCOMPARE(info.GetFileName(), fileName);
    QVERIFY(!info.GetTranslation());
    QVERIFY(!info.GetFixedFileInfo());
    QCOMPARE(info.GetTranslationString(), QString());
    QCOMPARE(info.GetVersionLanguage(), vlUnknown);
    QCOMPARE(info.GetVersionCharSet(), vcsUnknown);
    QCOMPARE(info.GetVersionNum(), 0);
    QCOMPARE(info.GetFileLongVersion(), TLongVersion());
    QCOMPARE(info.GetProductLongVersion(), TLongVersion());
    const QStringList texts = {info.GetComments(), info.GetCompanyName(), info.GetFileDescription(),
                               info.GetFileVersion(), info.GetInternalName(), info.GetLegalCopyright(),
                               info.GetLegalTrademarks(), info.GetOriginalFilename(), info.GetProductVersion(),
                               info.GetProductName(), info.GetDebugBuild(), info.GetPreReleaseBuild(),
                               info.GetPrivateBuild(), info.GetSpecialBuild(),
                               info.GetVerValue(QStringLiteral("FileDescription"))};
    QCOMPARE(texts, QStringList(texts.size(), QString()));
}

// The query "\StringFileInfo\040904E4\<name>" may be 255 bytes long: a name of 230 bytes
// is found, a longer one finds nothing even when the table holds it.
void tst_Lm_verinfo::longNames()
{
    const QString name230(230, QLatin1Char('k'));
    const QString name231(231, QLatin1Char('k'));
    const QString wide = QString(114, QChar(0x00E9)) + QStringLiteral("xyz"); // 231 bytes in UTF-8
    const TVersionInfo info(executableWith(sampleVersionRecord(
        {{name230, QStringLiteral("230")}, {name231, QStringLiteral("231")}, {wide, QStringLiteral("wide")}})));
    QCOMPARE(info.GetVerValue(name230), QStringLiteral("230"));
    QCOMPARE(info.GetVerValue(name231), QString());
    QCOMPARE(info.GetVerValue(wide), QString());
    QCOMPARE(info.GetVerValue(QString(100000, QLatin1Char('k'))), QString());
}

void tst_Lm_verinfo::setFileName()
{
    const QString first = executableWith(sampleVersionRecord({{QStringLiteral("Comments"), QStringLiteral("one")}}),
                                         QStringLiteral("first.exe"));
    const QString second = executableWith(sampleVersionRecord({{QStringLiteral("Comments"), QStringLiteral("two")}}),
                                          QStringLiteral("second.exe"));
    TVersionInfo info(first);
    QCOMPARE(info.GetComments(), QStringLiteral("one"));
    info.SetFileName(second);
    QCOMPARE(info.GetFileName(), second);
    QCOMPARE(info.GetComments(), QStringLiteral("two"));
    info.SetFileName(m_dir.filePath(QStringLiteral("missing.exe")));
    QCOMPARE(info.GetComments(), QString());
    QVERIFY(!info.GetFixedFileInfo());
    info.SetFileName(first);
    QCOMPARE(info.GetComments(), QStringLiteral("one"));
}

void tst_Lm_verinfo::verFileDate()
{
    const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    QCOMPARE(TVersionInfo(m_dir.filePath(QStringLiteral("missing.exe"))).GetVerFileDate(), zero);
    QCOMPARE(TVersionInfo(QString()).GetVerFileDate(), zero);
    QCOMPARE(TVersionInfo(m_dir.path()).GetVerFileDate(), zero);

    const QString path = executableWith(sampleVersionRecord({}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime written(QDate(2021, 3, 14), QTime(15, 9, 27, 530));
    QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();
    // Two-second steps, as the file-age query packs them.
    QCOMPARE(TVersionInfo(path).GetVerFileDate(), QDateTime(QDate(2021, 3, 14), QTime(15, 9, 26)));

    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(1975, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(TVersionInfo(path).GetVerFileDate(), zero);
}

void tst_Lm_verinfo::okToWriteModule_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<qint32>("versionNum");
    QTest::addColumn<bool>("ok");

    // The sample module is version 1.0.0.2: its number is 0x00010000.
    const QString module = executableWith(sampleVersionRecord({}), QStringLiteral("module.dll"));
    QTest::newRow("equal") << module << qint32(0x00010000) << false;
    QTest::newRow("one greater") << module << qint32(0x00010001) << true;
    QTest::newRow("older") << module << qint32(0x0000FFFF) << false;
    VersionRecord high = sampleVersionRecord({});
    high.fixed->dwFileVersionMS = 0x80000000u;
    QTest::newRow("compared as signed numbers")
        << executableWith(high, QStringLiteral("high.dll")) << qint32(1) << true;
    QTest::newRow("no such file") << m_dir.filePath(QStringLiteral("missing.dll")) << qint32(0) << true;
    QTest::newRow("file without record") << m_dir.path() << qint32(-5) << true;
}

void tst_Lm_verinfo::okToWriteModule()
{
    QFETCH(QString, module);
    QFETCH(qint32, versionNum);
    QFETCH(bool, ok);
    QCOMPARE(OkToWriteModule(module, versionNum), ok);
}

void tst_Lm_verinfo::stringToLongVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("version");

    QTest::newRow("four numbers") << "1.2.3.4" << "1.2.3.4";
    QTest::newRow("largest") << "65535.0.0.1" << "65535.0.0.1";
    QTest::newRow("low 16 bits") << "65536.1.1.1" << "0.1.1.1";
    QTest::newRow("negative") << "-1.0.0.0" << "65535.0.0.0";
    QTest::newRow("commas") << "1,2,3,4" << "1.2.3.4";
    QTest::newRow("dot before comma") << "1,2,3.4" << "<error>";
    QTest::newRow("missing numbers repeat the last") << "1.2" << "1.2.2.2";
    QTest::newRow("one number") << "7" << "7.7.7.7";
    QTest::newRow("fifth number ignored") << "1.2.3.4.5" << "1.2.3.4";
    QTest::newRow("empty") << "" << "0.0.0.0";
    QTest::newRow("empty part") << "1..3.4" << "1.0.3.4";
    QTest::newRow("hexadecimal") << "$10.0x11.0.0" << "16.17.0.0";
    QTest::newRow("leading blanks") << " 1. 2.3.4" << "1.2.3.4";
    QTest::newRow("signed limits") << "-2147483648.2147483647.0xFFFFFFFF.0" << "0.65535.65535.0";
}

void tst_Lm_verinfo::stringToLongVersion()
{
    QFETCH(QString, text);
    QFETCH(QString, version);
    if (version == QLatin1String("<error>")) {
        QVERIFY_THROWS_EXCEPTION(EConvertError, StringToLongVersion(text));
        return;
    }
    QCOMPARE(LongVersionToString(StringToLongVersion(text)), version);
}

void tst_Lm_verinfo::notAnInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("comma before a dot") << "1,2.3" << "'1,2' is not a valid integer value";
    QTest::newRow("letters") << "1.two.3.4" << "'two' is not a valid integer value";
    QTest::newRow("trailing blank") << "1 .2" << "'1 ' is not a valid integer value";
    QTest::newRow("sign alone") << "-.1" << "'-' is not a valid integer value";
    QTest::newRow("beyond the signed range") << "2147483648" << "'2147483648' is not a valid integer value";
    QTest::newRow("beyond 32 bits") << "$100000000" << "'$100000000' is not a valid integer value";
}

void tst_Lm_verinfo::notAnInteger()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        StringToLongVersion(text);
        QFAIL("no error raised");
    } catch (const EConvertError &error) {
        QCOMPARE(error.message(), message);
    }
}

void tst_Lm_verinfo::longVersionLayout()
{
    const TLongVersion version = StringToLongVersion(QStringLiteral("1.2.3.4"));
    QCOMPARE(version, (TLongVersion{{2, 1, 4, 3}}));
    QCOMPARE(version, TLongVersion::fromWords(0x00010002, 0x00030004));
}

// The program carries its own record: the description, the versions and the translation
// of its one string table.
void tst_Lm_verinfo::ownVersionRecord_data()
{
    QTest::addColumn<QString>("executable");
    QTest::newRow("the program") << QStringLiteral(TINLARK_EXECUTABLE);
    // This test links the same record in, as a test of the About window would.
    QTest::newRow("the running test") << QCoreApplication::applicationFilePath();
}

void tst_Lm_verinfo::ownVersionRecord()
{
    QFETCH(QString, executable);
    const TVersionInfo info(executable);
    QCOMPARE(info.GetFileDescription(), QStringLiteral("Application for storing \"Canned Speeches\""));
    // The record's versions are the project's.
    const QString version = QStringLiteral(TINLARK_VERSION);
    QCOMPARE(info.GetFileVersion(), version);
    QCOMPARE(LongVersionToString(info.GetProductLongVersion()), version);
    QCOMPARE(LongVersionToString(info.GetFileLongVersion()), version);
    QCOMPARE(info.GetProductVersion(), version.section(QLatin1Char('.'), 0, 1) + QStringLiteral(".0.0"));
    QCOMPARE(info.GetComments(), QStringLiteral("Free software, GNU GPL 3 or later"));
    QCOMPARE(info.GetLegalCopyright(), QStringLiteral("\u00A9 2026 The Tinlark developers"));
    QCOMPARE(info.GetProductName(), QStringLiteral("The Tinlark"));
    QCOMPARE(info.GetCompanyName(), QStringLiteral("The Tinlark project"));
    QCOMPARE(info.GetTranslationString(), QStringLiteral("040904E4"));
    QVERIFY(info.GetFixedFileInfo());
    QCOMPARE(info.GetFixedFileInfo()->dwFileFlagsMask, 0x3Fu);
    QCOMPARE(info.GetFixedFileInfo()->dwFileOS, 0x4u);
    QCOMPARE(info.GetFixedFileInfo()->dwFileType, 0x1u);
    QCOMPARE(info.GetPreReleaseBuild(), QString());
}

TINLARK_TEST_MAIN(tst_Lm_verinfo)
#include "tst_Lm_verinfo.moc"
