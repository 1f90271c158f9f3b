#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The two Access speech databases kept for tests (a Jet 4 file and a Jet 3 file in code
// page 1252), each with its exact content beside it as JSON, and ways to break copies of them.
namespace JetFixtures {

QString jet4Path();
QString jet3Path();
QString expectedJsonOf(const QString &jetPath); // FILE.mdb -> FILE.expected.json

// Every difference between the database at sqlitePath and the JSON: a missing, extra or
// unequal row, value by value, with NULL apart from empty text. Empty when they agree.
QStringList differencesFromExpected(const QString &sqlitePath, const QString &jsonPath);
// The IDs the JSON lists as deleted from a table.
QList<qint64> deletedIds(const QString &jsonPath, const QString &table);

QByteArray read(const QString &path);
void write(const QString &path, const QByteArray &bytes);

// Flips bits of the page-0 header; the header is stored masked with a fixed key stream, so
// flipping a stored bit flips the same bit of the field libmdb reads.
void xorHeader(QByteArray &file, int offset, const QByteArray &bits);
// The table-definition page of the table that counts rows and whose autonumber stands at
// lastId (page size 2048 for Jet 3); -1 when there is none or more than one.
qsizetype jet3TableDefinition(const QByteArray &file, int rows, int lastId);

} // namespace JetFixtures
