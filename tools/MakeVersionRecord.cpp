// tinlark-versionrecord: turns the description of a version record (a JSON file) into a C++
// source that places the record's version block in the section where the version reader
// finds it. Run at build time; the program's own record is written down only once.
//
//     tinlark-versionrecord DESCRIPTION.json OUTPUT.cpp

#include "VersionBlockWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <stdexcept>
#include <tuple>

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

// A number written as a JSON number or as a text, decimal or after "0x" hexadecimal.
quint32 number(const QJsonObject &description, const QString &name)
{
    const QJsonValue value = description.value(name);
    bool ok = false;
    quint32 result = 0;
    if (value.isDouble()) {
        const double d = value.toDouble();
        ok = d >= 0 && d <= 0xFFFFFFFFu && d == double(quint32(d));
        result = quint32(d);
    } else if (value.isString()) {
        result = value.toString().toUInt(&ok, 0);
    }
    if (!ok)
        fail(QStringLiteral("\"%1\" must be a number from 0 to 0xFFFFFFFF").arg(name));
    return result;
}

quint16 number16(const QJsonObject &description, const QString &name)
{
    const quint32 value = number(description, name);
    if (value > 0xFFFF)
        fail(QStringLiteral("\"%1\" must be a number from 0 to 0xFFFF").arg(name));
    return quint16(value);
}

// "a.b.c.d" as the two 32-bit words of the fixed part.
std::pair<quint32, quint32> versionWords(const QJsonObject &description, const QString &name)
{
    const QStringList parts = description.value(name).toString().split(QLatin1Char('.'));
    quint32 numbers[4] = {};
    bool ok = parts.size() == 4;
    for (qsizetype i = 0; ok && i < 4; ++i) {
        numbers[i] = parts[i].toUInt(&ok);
        ok = ok && numbers[i] <= 0xFFFF;
    }
    if (!ok)
        fail(QStringLiteral("\"%1\" must be four numbers a.b.c.d from 0 to 65535").arg(name));
    return {numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]};
}

VersionRecord readDescription(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(fileName));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
        fail(QStringLiteral("%1: %2").arg(fileName, error.errorString()));
    const QJsonObject description = document.object();

    VS_FIXEDFILEINFO fixed;
    std::tie(fixed.dwFileVersionMS, fixed.dwFileVersionLS) = versionWords(description, QStringLiteral("fileVersion"));
    std::tie(fixed.dwProductVersionMS, fixed.dwProductVersionLS) =
        versionWords(description, QStringLiteral("productVersion"));
    fixed.dwFileFlagsMask = number(description, QStringLiteral("fileFlagsMask"));
    fixed.dwFileFlags = number(description, QStringLiteral("fileFlags"));
    fixed.dwFileOS = number(description, QStringLiteral("fileOS"));
    fixed.dwFileType = number(description, QStringLiteral("fileType"));
    fixed.dwFileSubtype = number(description, QStringLiteral("fileSubtype"));
    // The file date is one 64-bit number in the record, most significant word first.
    const QString date = description.value(QStringLiteral("fileDate")).toString();
    bool dateOk = false;
    const quint64 dateValue = date.toULongLong(&dateOk, 0);
    if (!dateOk)
        fail(QStringLiteral("\"fileDate\" must be a number"));
    fixed.dwFileDateMS = quint32(dateValue >> 32);
    fixed.dwFileDateLS = quint32(dateValue);

    LANGANDCODEPAGE translation;
    translation.wLanguage = number16(description, QStringLiteral("language"));
    translation.wCodePage = number16(description, QStringLiteral("codePage"));

    VersionStringTable table;
    table.key = QStringLiteral("%1%2")
                    .arg(translation.wLanguage, 4, 16, QLatin1Char('0'))
                    .arg(translation.wCodePage, 4, 16, QLatin1Char('0'))
                    .toUpper();
    for (const QJsonValue &entry : description.value(QStringLiteral("strings")).toArray()) {
        const QJsonArray pair = entry.toArray();
        if (pair.size() != 2 || !pair[0].isString() || !pair[1].isString())
            fail(QStringLiteral("each of \"strings\" must be a pair [\"Key\", \"Value\"]"));
        table.values.append({pair[0].toString(), pair[1].toString()});
    }

    VersionRecord record;
    record.fixed = fixed;
    record.stringTables = {table};
    record.translations = {translation};
    return record;
}

QByteArray cppSource(const QByteArray &block, const QString &descriptionName)
{
    QByteArray source;
    source += "// Made by tinlark-versionrecord from " + descriptionName.toUtf8() + "; do not edit.\n";
    source += "// The program's version record, in the section where the version reader looks for it.\n\n";
    source += "[[gnu::section(\"" + QByteArray(VersionResource::SectionName) + "\"), gnu::used, gnu::aligned(4)]]\n";
    source += "extern const unsigned char tinlarkVersionRecord[" + QByteArray::number(block.size()) + "] = {";
    for (qsizetype i = 0; i < block.size(); ++i) {
        source += i % 16 == 0 ? "\n    " : " ";
        source += "0x" + QByteArray::number(quint8(block[i]), 16).rightJustified(2, '0') + ',';
    }
    source += "\n};\n";
    return source;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tinlark-versionrecord DESCRIPTION.json OUTPUT.cpp\n");
        return 2;
    }
    try {
        const QString descriptionName = QString::fromLocal8Bit(argv[1]);
        const QByteArray block = VersionBlockWriter::versionBlock(readDescription(descriptionName));
        if (block.size() > 0xFFFF)
            fail(QStringLiteral("the record is longer than 65535 bytes"));
        QSaveFile output(QString::fromLocal8Bit(argv[2]));
        if (!output.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot write %1").arg(output.fileName()));
        output.write(cppSource(block, QFileInfo(descriptionName).fileName()));
        if (!output.commit())
            fail(QStringLiteral("cannot write %1").arg(output.fileName()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tinlark-versionrecord: %s\n", error.what());
        return 1;
    }
    return 0;
}
