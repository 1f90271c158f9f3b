#pragma once

#include <QString>

class Database;
class QWidget;

// File > Export... and File > Import... of the main window: the speeches of the open library
// written to, or merged from, a CSV or JSON file, with progress and a summary.
namespace LibraryTransfer {

// Asks what to export (every language, or only currentLanguage when one is selected) and
// where, then writes the file whole or not at all.
void exportSpeeches(QWidget *parent, Database &database, const QString &currentLanguage);

// Asks for a file, reads it through once without storing and asks whether to store what it
// holds; a library file (libraryFile, empty for a server) is backed up first. Returns true
// when speeches were stored. A fault of the file raises Exception naming its line, with
// nothing stored.
bool importSpeeches(QWidget *parent, Database &database, const QString &libraryFile, const QString &settingsPath);

} // namespace LibraryTransfer
