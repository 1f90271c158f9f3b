#include "JetFormat.h"

#include <QFile>

namespace {

// Every Jet and ACE file starts with this page header; the signature names the engine.
const QByteArray PageZeroStart("\x00\x01\x00\x00", 4);
const QByteArray JetSignature("Standard Jet DB\0", 16);
const QByteArray AceSignature("Standard ACE DB\0", 16);
constexpr int VersionOffset = 0x14;

} // namespace

JetFormat jetFormatOfHeader(const QByteArray &header)
{
    if (header.size() < JetHeaderSize || !header.startsWith(PageZeroStart))
        return JetFormat::NotJet;
    const QByteArray signature = header.mid(4, 16);
    if (signature != JetSignature && signature != AceSignature)
        return JetFormat::NotJet;
    switch (quint8(header[VersionOffset])) {
    case 0:
        return signature == JetSignature ? JetFormat::Jet3 : JetFormat::NotJet;
    case 1:
        return signature == JetSignature ? JetFormat::Jet4 : JetFormat::NotJet;
    default:
        return JetFormat::Accdb; // 2 and up: Access 2007, 2010, 2013, 2016, 2019
    }
}

JetFormat jetFormatOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return JetFormat::NotJet;
    return jetFormatOfHeader(file.read(JetHeaderSize));
}
