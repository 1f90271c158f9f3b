#pragma once

#include <QString>

// A CSV file's cells made safe to open in a spreadsheet program, which would otherwise take a
// cell that begins with = + - @ (or a tab or CR before one) for a formula and run it
// (=HYPERLINK(...), +cmd|...). Such a cell gets a ' in front, as spreadsheets write text
// that only looks like a formula; so does a cell that begins with ' itself, so that taking
// one ' off every cell that begins with one gives each text back exactly.
namespace SpreadsheetSafeCells {

// The column a safe file's header names after the others: it tells an import to take the
// ' off again. Its cells are empty; an import that does not know it passes it over.
inline constexpr char MarkerColumn[] = "SpreadsheetSafe";

QString escaped(const QString &cell);
QString unescaped(const QString &cell);

} // namespace SpreadsheetSafeCells
