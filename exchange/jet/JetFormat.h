#pragma once

#include <QByteArray>
#include <QString>

// What the first bytes of a file say it is: a Jet 3 ("Access 97") or Jet 4 ("Access 2000
// to 2003") database, an Access 2007 or later (.accdb) database, or something else.
enum class JetFormat { NotJet, Jet3, Jet4, Accdb };

// The header fields that tell the formats apart: a fixed signature and a version byte.
constexpr int JetHeaderSize = 0x15;

JetFormat jetFormatOfHeader(const QByteArray &header);
// Reads the header of the file at path; a file that cannot be read is NotJet.
JetFormat jetFormatOfFile(const QString &path);
