#pragma once

#include <QString>
#include <QStringList>

// What a tinlark-makedb command line asks for, read the way command-line tools read theirs:
// unknown options refused by name, "--" ending the options, every value checked against its
// range. An option that is refused leaves `error` saying why, in one line.
struct MakeDbCommandLine
{
    enum class Action { Usage, Help, Version, Make, FromJet, Server, Copy, Backup, Export, Import };

    static constexpr int MaxLanguages = 20;

    Action action = Action::Usage;
    QStringList databases; // the file, the two databases or the URI the action works on
    int speeches = 0;
    int languages = MaxLanguages;
    QString format;   // --export and --import: "csv" or "json", from --format or the file's name
    QString language; // --export --language: the one language to write; empty for all
    bool preview = false; // --import --preview: counts what would be stored, stores nothing
    bool spreadsheetSafe = false; // --export --spreadsheet-safe: CSV cells no spreadsheet runs as formulas
    QString error; // empty when the command line is sound

    // arguments without the program's name.
    static MakeDbCommandLine parse(const QStringList &arguments);
};
