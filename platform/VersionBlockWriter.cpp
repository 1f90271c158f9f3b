#include "VersionBlockWriter.h"

#include <QtEndian>

namespace {

void appendU16(QByteArray &bytes, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 2);
}

void appendU32(QByteArray &bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendUtf16(QByteArray &bytes, const QString &text)
{
    for (QChar unit : text)
        appendU16(bytes, unit.unicode());
    appendU16(bytes, 0);
}

void padTo4(QByteArray &bytes)
{
    while (bytes.size() % 4 != 0)
        bytes.append('\0');
}

} // namespace

namespace VersionBlockWriter {

QByteArray node(const QString &key, quint16 type, const QByteArray &value, quint16 valueLength,
                const QList<QByteArray> &children)
{
    QByteArray bytes;
    appendU16(bytes, 0); // the length, filled in below
    appendU16(bytes, valueLength);
    appendU16(bytes, type);
    appendUtf16(bytes, key);
    padTo4(bytes);
    bytes.append(value);
    for (const QByteArray &child : children) {
        padTo4(bytes);
        bytes.append(child);
    }
    qToLittleEndian(quint16(bytes.size()), bytes.data());
    return bytes;
}

QByteArray textNode(const QString &key, const QString &text, const QList<QByteArray> &children)
{
    QByteArray value;
    appendUtf16(value, text);
    return node(key, 1, value, quint16(text.size() + 1), children);
}

QByteArray fixedFileInfo(const VS_FIXEDFILEINFO &info)
{
    QByteArray bytes;
    for (quint32 field : {info.dwSignature, info.dwStrucVersion, info.dwFileVersionMS, info.dwFileVersionLS,
                          info.dwProductVersionMS, info.dwProductVersionLS, info.dwFileFlagsMask, info.dwFileFlags,
                          info.dwFileOS, info.dwFileType, info.dwFileSubtype, info.dwFileDateMS, info.dwFileDateLS})
        appendU32(bytes, field);
    return bytes;
}

QByteArray versionBlock(const VersionRecord &record)
{
    QList<QByteArray> parts;
    if (!record.stringTables.isEmpty()) {
        QList<QByteArray> tables;
        for (const VersionStringTable &table : record.stringTables) {
            QList<QByteArray> values;
            for (const auto &[key, text] : table.values)
                values.append(textNode(key, text));
            tables.append(node(table.key, 1, QByteArray(), 0, values));
        }
        parts.append(node(QStringLiteral("StringFileInfo"), 1, QByteArray(), 0, tables));
    }
    if (!record.translations.isEmpty()) {
        QByteArray entries;
        for (const LANGANDCODEPAGE &entry : record.translations) {
            appendU16(entries, entry.wLanguage);
            appendU16(entries, entry.wCodePage);
        }
        const QByteArray translation =
            node(QStringLiteral("Translation"), 0, entries, quint16(entries.size()));
        parts.append(node(QStringLiteral("VarFileInfo"), 1, QByteArray(), 0, {translation}));
    }
    const QByteArray fixed = record.fixed ? fixedFileInfo(*record.fixed) : QByteArray();
    return node(QStringLiteral("VS_VERSION_INFO"), 0, fixed, quint16(fixed.size()), parts);
}

} // namespace VersionBlockWriter
