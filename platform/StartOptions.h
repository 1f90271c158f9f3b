#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of a start: the main window, or the picker (--pick).
struct StartOptions
{
    bool pick = false;
    QString error; // why the command line cannot be followed, for the terminal; empty when it can

    // Reads the arguments the program was started with, its own name first.
    static StartOptions parse(const QStringList &arguments);
    // The same, before the application object exists.
    static StartOptions parse(int argc, char *argv[]);
};
