#pragma once

#include <QString>
#include <optional>

enum class TransferFormat { Csv, Json };

// How an export writes CSV cells: exactly as the library holds them, or safe to open in a
// spreadsheet program (see SpreadsheetSafeCells). JSON is always exact.
enum class CsvCells { Exact, SpreadsheetSafe };

// The format a file's name asks for (.csv, .json, any case); none for another name.
std::optional<TransferFormat> transferFormatOfName(const QString &path);
// The format a word names ("csv", "json", any case).
std::optional<TransferFormat> transferFormatOfWord(const QString &word);
