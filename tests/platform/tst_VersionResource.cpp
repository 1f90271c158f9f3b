#include "ElfImageBuilder.h"
#include "OddVersionRecords.h"
#include "PeImageBuilder.h"
#include "SampleVersionRecord.h"
#include "TestMain.h"
#include "VersionBlockWriter.h"
#include "VersionResource.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>
#include <sys/stat.h>

using namespace VersionBlockWriter;

namespace {

// ASCII text as zero-terminated UTF-16, laid out by hand.
QByteArray utf16z(const char *text)
{
    QByteArray bytes;
    for (; *text; ++text)
        bytes += QByteArray(1, *text) + '\0';
    return bytes + QByteArray(2, '\0');
}

// A raw block in the buffer that getFileVersionInfo would fill for it.
QByteArray bufferFor(const QByteArray &block)
{
    QByteArray buffer = block;
    buffer.append(qsizetype(VersionResource::bufferSizeFor(quint32(block.size()))) - block.size(), '\0');
    return buffer;
}

// The value verQueryValue finds for path, or a null array when it finds nothing.
QByteArray query(QByteArray &buffer, const QString &path)
{
    const void *value = nullptr;
    quint32 length = 0;
    if (!VersionResource::verQueryValue(buffer.data(), quint32(buffer.size()), path, &value, &length))
        return QByteArray();
    return QByteArray(static_cast<const char *>(value), length);
}

QByteArray blockOf(const QByteArray &file, quint16 userLanguage = 0)
{
    QBuffer device;
    device.setData(file);
    device.open(QIODevice::ReadOnly);
    return VersionResource::readVersionBlock(device, userLanguage);
}

QByteArray sampleBlock()
{
    return versionBlock(sampleVersionRecord(fullVersionValues()));
}

// A sample block whose one string table holds the given value nodes, laid out as given.
QByteArray blockWithValueNodes(const QList<QByteArray> &values)
{
    const QByteArray table = node(QStringLiteral("040904E4"), 1, QByteArray(), 0, values);
    return node(QStringLiteral("VS_VERSION_INFO"), 0, fixedFileInfo(VS_FIXEDFILEINFO()), 52,
                {node(QStringLiteral("StringFileInfo"), 1, QByteArray(), 0, {table})});
}

QByteArray peWith(const QByteArray &block)
{
    PeImageBuilder pe;
    pe.addVersionBlock(block);
    return pe.build();
}

void setU16(QByteArray &bytes, qsizetype offset, quint16 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

} // namespace

class tst_VersionResource : public QObject
{
    Q_OBJECT

private slots:
    void handLaidBlock();
    void queries_data();
    void queries();
    void firstOfEqualKeys();
    void textsAreUtf8();
    void earlierTextsStay();
    void textsNeedTheirRoom();
    void oddTextLength();
    void containers_data();
    void containers();
    void languageChoice_data();
    void languageChoice();
    void oddEntryHidesOnlyItself_data();
    void oddEntryHidesOnlyItself();
    void malformedFiles_data();
    void malformedFiles();
    void everyCutOfAFile();
    void files();
    void pipeIsNoFile();
};

// A block laid out byte by byte, so that reader and writer cannot share a mistake.
void tst_VersionResource::handLaidBlock()
{
    const QByteArray string = QByteArray::fromHex("100002000100") + utf16z("Ab") + QByteArray::fromHex("63000000");
    const QByteArray table = QByteArray::fromHex("280000000100") + utf16z("040904E4") + string;
    const QByteArray fileInfo = QByteArray::fromHex("4c0000000100") + utf16z("StringFileInfo") + table;
    const QByteArray root = QByteArray::fromHex("740000000000") + utf16z("VS_VERSION_INFO") + QByteArray(2, '\0') + fileInfo;
    QCOMPARE(root.size(), 0x74);

    QByteArray buffer = bufferFor(root);
    QCOMPARE(query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\Ab")), QByteArray("c", 2));
    QCOMPARE(query(buffer, QStringLiteral("\\")), QByteArray(""));

    const QByteArray written = node(QStringLiteral("VS_VERSION_INFO"), 0, QByteArray(), 0,
                                    {node(QStringLiteral("StringFileInfo"), 1, QByteArray(), 0,
                                          {node(QStringLiteral("040904E4"), 1, QByteArray(), 0,
                                                {textNode(QStringLiteral("Ab"), QStringLiteral("c"))})})});
    QCOMPARE(written.toHex(' '), root.toHex(' '));
}

void tst_VersionResource::queries_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("value"); // null: nothing found

    VS_FIXEDFILEINFO fixed = *sampleVersionRecord({}).fixed;
    QTest::newRow("fixed part") << "\\" << fixedFileInfo(fixed);
    QTest::newRow("translation") << "\\VarFileInfo\\Translation" << QByteArray::fromHex("0904e404");
    QTest::newRow("text") << "\\StringFileInfo\\040904E4\\ProductName" << QByteArray("Some Product", 13);
    QTest::newRow("other case") << "\\stringfileinfo\\040904e4\\PRODUCTNAME" << QByteArray("Some Product", 13);
    QTest::newRow("without leading backslash") << "StringFileInfo\\040904E4\\ProductName" << QByteArray("Some Product", 13);
    QTest::newRow("table") << "\\StringFileInfo\\040904E4" << QByteArray("", 1);
    QTest::newRow("start of a key") << "\\StringFileInfo\\040904E4\\Product" << QByteArray();
    QTest::newRow("longer than a key") << "\\StringFileInfo\\040904E4\\ProductNames" << QByteArray();
    QTest::newRow("other table") << "\\StringFileInfo\\040904B0\\ProductName" << QByteArray();
    QTest::newRow("empty table key") << "\\StringFileInfo\\\\ProductName" << QByteArray();
    QTest::newRow("below a text") << "\\StringFileInfo\\040904E4\\ProductName\\x" << QByteArray();
    QTest::newRow("unknown block") << "\\Nothing" << QByteArray();
}

void tst_VersionResource::queries()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, value);
    QByteArray buffer = bufferFor(sampleBlock());
    const QByteArray found = query(buffer, path);
    QCOMPARE(found.isNull(), value.isNull());
    QCOMPARE(found.toHex(' '), value.toHex(' '));
}

void tst_VersionResource::firstOfEqualKeys()
{
    QByteArray buffer = bufferFor(versionBlock(sampleVersionRecord({{QStringLiteral("Key"), QStringLiteral("first")},
                                                                    {QStringLiteral("KEY"), QStringLiteral("second")}})));
    QCOMPARE(query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\key")), QByteArray("first", 6));
}

void tst_VersionResource::textsAreUtf8()
{
    const QString text = QStringLiteral("B\u00E8ta \u00A9 \U0001F600.");
    QByteArray buffer = bufferFor(versionBlock(sampleVersionRecord({{QStringLiteral("Key"), text}})));
    QCOMPARE(QString::fromUtf8(query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\Key")).chopped(1)),
             text);
}

// A text handed out stays as it was when other texts are handed out after it.
void tst_VersionResource::earlierTextsStay()
{
    QByteArray buffer = bufferFor(sampleBlock());
    const void *first = nullptr;
    quint32 length = 0;
    QVERIFY(VersionResource::verQueryValue(buffer.data(), quint32(buffer.size()),
                                           QStringLiteral("\\StringFileInfo\\040904E4\\CompanyName"), &first, &length));
    for (const auto &[key, value] : fullVersionValues())
        QCOMPARE(QString::fromUtf8(query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\") + key).chopped(1)), value);
    QCOMPARE(static_cast<const char *>(first), "Some Company");
}

void tst_VersionResource::textsNeedTheirRoom()
{
    QByteArray bare = sampleBlock();
    QVERIFY(!query(bare, QStringLiteral("\\")).isNull());
    QVERIFY(query(bare, QStringLiteral("\\StringFileInfo\\040904E4\\Comments")).isNull());
    const QByteArray untouched = sampleBlock();
    QCOMPARE(bare, untouched);
}

// A text whose node ends in the middle of a UTF-16 unit, and whose count of units runs past
// the node: the whole units inside the node are the text.
void tst_VersionResource::oddTextLength()
{
    QByteArray odd = textNode(QStringLiteral("Odd"), QStringLiteral("ab"));
    setU16(odd, 0, quint16(odd.size() - 1));
    setU16(odd, 2, 40);
    const QByteArray block = blockWithValueNodes({odd, textNode(QStringLiteral("Next"), QStringLiteral("n"))});
    QByteArray buffer = bufferFor(block);
    QCOMPARE(query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\Odd")), QByteArray("ab", 3));
    QCOMPARE(query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\Next")), QByteArray("n", 2));
}

void tst_VersionResource::containers_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray block = sampleBlock();
    PeImageBuilder pe32(PeImageBuilder::Format::Pe32);
    pe32.addResource(3, 1, 0x0409, "an icon");
    pe32.addVersionBlock(block);
    QTest::newRow("PE32") << pe32.build();
    PeImageBuilder pe32Plus(PeImageBuilder::Format::Pe32Plus);
    pe32Plus.addVersionBlock(block);
    QTest::newRow("PE32+") << pe32Plus.build();
    // The block's own length counts; what follows it in the resource is not part of it.
    PeImageBuilder padded;
    padded.addVersionBlock(block + QByteArray(10, '\x55'));
    QTest::newRow("resource longer than the block") << padded.build();

    for (const auto format : {ElfImageBuilder::Format::Elf32, ElfImageBuilder::Format::Elf64}) {
        for (const bool bigEndian : {false, true}) {
            for (const bool countsInFirstSection : {false, true}) {
                ElfImageBuilder elf(format, bigEndian);
                elf.addSection(".text", "code");
                elf.addSection(".vs_version_inf", "wrong name");
                elf.addSection(".vs_version_info", block);
                elf.setCountsInFirstSection(countsInFirstSection);
                QTest::addRow("ELF%d %s%s", format == ElfImageBuilder::Format::Elf32 ? 32 : 64,
                              bigEndian ? "big-endian" : "little-endian",
                              countsInFirstSection ? ", counts in section 0" : "")
                    << elf.build();
            }
        }
    }
    ElfImageBuilder empty;
    empty.addSection(".vs_version_info", versionBlock(sampleVersionRecord({})), ElfImageBuilder::NoBits);
    empty.addSection(".vs_version_info", block);
    QTest::newRow("ELF, first section without bytes") << empty.build();
}

void tst_VersionResource::containers()
{
    QFETCH(QByteArray, file);
    QCOMPARE(blockOf(file).toHex(' '), sampleBlock().toHex(' '));
}

void tst_VersionResource::languageChoice_data()
{
    using Languages = QList<quint16>;
    QTest::addColumn<Languages>("languages"); // in the order the resource directory lists them
    QTest::addColumn<quint16>("user");
    QTest::addColumn<quint16>("chosen");
    QTest::newRow("the user's language first") << Languages{0x0401, 0x0000, 0x0407, 0x0409} << quint16(0x0407) << quint16(0x0407);
    QTest::newRow("then language-neutral") << Languages{0x0401, 0x0409, 0x0000} << quint16(0x0407) << quint16(0x0000);
    QTest::newRow("then US English") << Languages{0x0401, 0x0409} << quint16(0x0407) << quint16(0x0409);
    QTest::newRow("then the first listed") << Languages{0x0413, 0x0401} << quint16(0x0407) << quint16(0x0413);
    QTest::newRow("UK English is not US English") << Languages{0x0809, 0x0401} << quint16(0x0407) << quint16(0x0809);
    QTest::newRow("no language of the user's") << Languages{0x0401, 0x0409} << quint16(0) << quint16(0x0409);
    QTest::newRow("Arabic for an Arabic reader") << Languages{0x0401, 0x0409} << quint16(0x0401) << quint16(0x0401);
}

void tst_VersionResource::languageChoice()
{
    QFETCH(QList<quint16>, languages);
    QFETCH(quint16, user);
    QFETCH(quint16, chosen);
    // Each language's record names its language.
    const auto blockIn = [](quint16 language) {
        return versionBlock(sampleVersionRecord({{QStringLiteral("Language"), QString::number(language, 16)}}));
    };
    PeImageBuilder pe;
    for (const quint16 language : languages)
        pe.addResource(16, 1, language, blockIn(language));
    QCOMPARE(blockOf(pe.build(), user), blockIn(chosen));
}

// Windows answers each query on its own: one odd entry (in place of InternalName, or at the
// root) hides at most itself and the entries after it in its table, never the whole record.
void tst_VersionResource::oddEntryHidesOnlyItself_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("hidden"); // keys not found; every other one reads as written

    for (const OddVersionRecord &record : oddVersionRecords()) {
        PeImageBuilder pe;
        pe.addVersionBlock(record.block);
        if (record.resourceSize != quint32(record.block.size()))
            pe.setRecordedDataSize(record.resourceSize);
        QTest::newRow(qPrintable(record.name)) << pe.build() << record.hidden;
    }
}

void tst_VersionResource::oddEntryHidesOnlyItself()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, hidden);
    QByteArray buffer = bufferFor(blockOf(file));
    QCOMPARE(query(buffer, QStringLiteral("\\")), fixedFileInfo(*sampleVersionRecord({}).fixed));
    const QByteArray translation = query(buffer, QStringLiteral("\\VarFileInfo\\Translation"));
    QCOMPARE(translation, hidden.contains(QStringLiteral("Translation")) ? QByteArray() : QByteArray::fromHex("0904e404"));
    for (const auto &[key, text] : fullVersionValues()) {
        const QByteArray value = query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\") + key);
        QCOMPARE(value, hidden.contains(key) ? QByteArray() : text.toUtf8() + '\0');
    }
}

void tst_VersionResource::malformedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray block = sampleBlock();

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text file") << QByteArray("MZ is how it starts, but this is text.");
    QTest::newRow("block on its own") << block;

    PeImageBuilder icon;
    icon.addResource(3, 1, 0x0409, block);
    QTest::newRow("no version resource") << icon.build();
    PeImageBuilder name2;
    name2.addResource(16, 2, 0x0409, block);
    QTest::newRow("version resource named 2") << name2.build();
    PeImageBuilder loop;
    loop.addVersionBlock(block);
    loop.addResource(1, 16, 0x0409, "x");
    loop.setDirectoriesPointAtRoot(true);
    QTest::newRow("directories point at the root") << loop.build();
    for (const quint32 size : {0u, 1u}) {
        PeImageBuilder tiny;
        tiny.addVersionBlock(block);
        tiny.setRecordedDataSize(size);
        QTest::addRow("resource of %u bytes", size) << tiny.build();
    }
    PeImageBuilder hugeData;
    hugeData.addVersionBlock(block);
    hugeData.setRecordedDataSize(0xFFFFFFF0u);
    QTest::newRow("resource past the end of the file") << hugeData.build();
    PeImageBuilder away;
    away.addVersionBlock(block);
    away.setRecordedDataAddress(0x7FFFFFF0u);
    QTest::newRow("resource outside every section") << away.build();

    QByteArray wrongRoot = block;
    wrongRoot[6] = 'W';
    QTest::newRow("root key not VS_VERSION_INFO") << peWith(wrongRoot);
    QByteArray shortRoot = block;
    setU16(shortRoot, 0, 4);
    QTest::newRow("root shorter than its header") << peWith(shortRoot);

    ElfImageBuilder withoutSection;
    withoutSection.addSection(".text", block);
    QTest::newRow("ELF without the section") << withoutSection.build();
    ElfImageBuilder noBits;
    noBits.addSection(".vs_version_info", block, ElfImageBuilder::NoBits);
    QTest::newRow("ELF section without bytes") << noBits.build();
    QByteArray badTable = [&] {
        ElfImageBuilder elf;
        elf.addSection(".vs_version_info", block);
        return elf.build();
    }();
    qToLittleEndian(quint64(0x7FFFFFFFFFFF0000ull), badTable.data() + 40);
    QTest::newRow("ELF section table past the end") << badTable;
}

void tst_VersionResource::malformedFiles()
{
    QFETCH(QByteArray, file);
    QCOMPARE(blockOf(file), QByteArray());
}

// Whatever the point at which a file is cut off, the reader stays inside it and either finds
// the whole block or nothing: the resource directory records the resource's size.
void tst_VersionResource::everyCutOfAFile()
{
    const QByteArray block = sampleBlock();
    const QByteArray file = peWith(block);
    qsizetype found = 0;
    for (qsizetype size = 0; size <= file.size(); ++size) {
        const QByteArray read = blockOf(file.left(size));
        QVERIFY2(read.isEmpty() || read == block, qPrintable(QString::number(size)));
        found += read.isEmpty() ? 0 : 1;
    }
    QVERIFY(found > 0);
}

void tst_VersionResource::files()
{
    QTemporaryDir dir;
    const QByteArray block = sampleBlock();
    const QString path = dir.filePath(QStringLiteral("program.exe"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(peWith(block));
    file.close();

    quint32 handle = 99;
    const quint32 size = VersionResource::getFileVersionInfoSize(path, &handle);
    QCOMPARE(handle, 0u);
    QCOMPARE(size, VersionResource::bufferSizeFor(quint32(block.size())));
    QByteArray buffer(size, '\x55');
    QVERIFY(!VersionResource::getFileVersionInfo(path, 0, size - 1, buffer.data()));
    QVERIFY(VersionResource::getFileVersionInfo(path, 0, size, buffer.data()));
    QCOMPARE(buffer.left(block.size()), block);
    QCOMPARE(query(buffer, QStringLiteral("\\StringFileInfo\\040904E4\\InternalName")), QByteArray("internal", 9));

    for (const QString &none : {QString(), dir.path(), dir.filePath(QStringLiteral("missing.exe"))}) {
        QCOMPARE(VersionResource::getFileVersionInfoSize(none, &handle), 0u);
        QVERIFY(!VersionResource::getFileVersionInfo(none, 0, size, buffer.data()));
    }
}

// Opening a named pipe for reading would wait for a writer for ever.
void tst_VersionResource::pipeIsNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    quint32 handle = 0;
    QCOMPARE(VersionResource::getFileVersionInfoSize(path, &handle), 0u);
}

TINLARK_TEST_MAIN(tst_VersionResource)
#include "tst_VersionResource.moc"
