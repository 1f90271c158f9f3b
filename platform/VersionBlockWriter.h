#pragma once

#include "VersionResource.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// One string table of a version record: its key (language and code page as eight hexadecimal
// digits, "040904E4") and its values in the order they are stored.
struct VersionStringTable
{
    QString key;
    QList<std::pair<QString, QString>> values;
};

// What a version record holds; an empty list leaves its part out.
struct VersionRecord
{
    std::optional<VS_FIXEDFILEINFO> fixed = VS_FIXEDFILEINFO{};
    QList<VersionStringTable> stringTables;
    QList<LANGANDCODEPAGE> translations;
};

// Lays out version blocks as the Windows resource compiler does: the program's own record
// at build time, and records of every shape for the tests.
namespace VersionBlockWriter {

// One node: header, zero-terminated UTF-16 key, value and children, the value and each child
// starting on a 4-byte boundary. valueLength is stored as given (units for a text, bytes
// otherwise); the node's length runs to the end of its last child or of its value.
QByteArray node(const QString &key, quint16 type, const QByteArray &value, quint16 valueLength,
                const QList<QByteArray> &children = {});

// A node whose value is a zero-terminated text.
QByteArray textNode(const QString &key, const QString &text, const QList<QByteArray> &children = {});

// The fixed part as the block stores it.
QByteArray fixedFileInfo(const VS_FIXEDFILEINFO &info);

// The whole block of a record, root "VS_VERSION_INFO" first.
QByteArray versionBlock(const VersionRecord &record);

} // namespace VersionBlockWriter
