#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks of a start: the main window, the picker (--pick), or only the
// usage (--help) or the version (--version), answered as command-line programs answer them.
struct StartOptions
{
    bool pick = false;
    bool help = false;
    bool version = false;
    QString error; // why the command line cannot be followed, for the terminal; empty when it can

    // Reads the arguments the program was started with, its own name first.
    static StartOptions parse(const QStringList &arguments);
    // The same, before the application object exists.
    static StartOptions parse(int argc, char *argv[]);

    // The usage or the version, as printed for --help and --version.
    static QString helpText();
    static QString versionText();

    // Prints the usage or the version when the command line asks for one, with no window and
    // no display, and gives the exit status: 0, or 1 when standard output cannot be written.
    // None when the program is to start.
    std::optional<int> answerOnTerminal() const;
};
