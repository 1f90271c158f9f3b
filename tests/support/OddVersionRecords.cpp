#include "OddVersionRecords.h"

#include "SampleVersionRecord.h"

#include <QtEndian>

using namespace VersionBlockWriter;

namespace {

QByteArray withLength(QByteArray bytes, quint16 length)
{
    qToLittleEndian(length, bytes.data());
    return bytes;
}

QByteArray utf16z(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text + QChar(0))
        bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return bytes;
}

} // namespace

QByteArray fullBlockWith(const QByteArray &internalName, const QString &rootKey, const QByteArray &trailing)
{
    QList<QByteArray> values;
    for (const auto &[key, text] : fullVersionValues())
        values.append(key == QLatin1String("InternalName") && !internalName.isNull() ? internalName : textNode(key, text));
    const QByteArray translation = node(QStringLiteral("Translation"), 0, QByteArray::fromHex("0904e404"), 4);
    const QByteArray root = node(rootKey, 0, fixedFileInfo(*sampleVersionRecord({}).fixed), 52,
                                 {node(QStringLiteral("StringFileInfo"), 1, QByteArray(), 0,
                                       {node(QStringLiteral("040904E4"), 1, QByteArray(), 0, values)}),
                                  node(QStringLiteral("VarFileInfo"), 1, QByteArray(), 0, {translation})});
    return withLength(root + trailing, quint16(root.size() + trailing.size()));
}

QList<OddVersionRecord> oddVersionRecords()
{
    const QString internalName = QStringLiteral("InternalName");
    const QByteArray internal = utf16z(QStringLiteral("internal"));
    const QByteArray sound = fullBlockWith(QByteArray());
    const auto size = [](const QByteArray &block) { return quint32(block.size()); };
    const auto record = [&](const QString &name, const QByteArray &block, const QStringList &hidden = {}) {
        return OddVersionRecord{name, block, size(block), hidden};
    };
    const QStringList fromInternalName = {internalName,
                                          QStringLiteral("LegalCopyright"),
                                          QStringLiteral("LegalTrademarks"),
                                          QStringLiteral("OriginalFilename"),
                                          QStringLiteral("ProductName"),
                                          QStringLiteral("ProductVersion"),
                                          QStringLiteral("Comments")};
    QByteArray unterminated = node(internalName, 1, QByteArray(), 0);
    unterminated.chop(4); // the key's last letter and its zero, and the padding before them

    return {
        record(QStringLiteral("text entry marked as bytes"), fullBlockWith(node(internalName, 0, internal, 18))),
        record(QStringLiteral("marked as bytes, counted in characters"), fullBlockWith(node(internalName, 0, internal, 9))),
        record(QStringLiteral("length counted in bytes"), fullBlockWith(node(internalName, 1, internal, 18))),
        record(QStringLiteral("value without its terminating zero"),
               fullBlockWith(node(internalName, 1, internal.chopped(2), 8))),
        record(QStringLiteral("value length past its entry"), fullBlockWith(node(internalName, 1, internal, 400))),
        record(QStringLiteral("lower-case root key"), fullBlockWith(QByteArray(), QStringLiteral("vs_version_info"))),
        record(QStringLiteral("trailing bytes after the last child"),
               fullBlockWith(QByteArray(), QStringLiteral("VS_VERSION_INFO"), QByteArray(6, '\x55'))),
        {QStringLiteral("root length past the end of the resource"), withLength(sound, quint16(sound.size() + 64)),
         size(sound), {}},
        {QStringLiteral("resource cut inside the last child"), sound, size(sound) - 8, {QStringLiteral("Translation")}},
        record(QStringLiteral("entry of length zero"),
               fullBlockWith(withLength(textNode(internalName, QStringLiteral("internal")), 0)), fromInternalName),
        record(QStringLiteral("entry longer than its table"),
               fullBlockWith(withLength(textNode(internalName, QStringLiteral("internal")), 0x7000)), fromInternalName),
        record(QStringLiteral("key without its zero"),
               fullBlockWith(withLength(unterminated, quint16(unterminated.size()))), fromInternalName),
    };
}
