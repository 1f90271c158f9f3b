#pragma once

#include <QString>

// The desktop shell's "open" verb: hands a document, address or link to the program that the
// desktop keeps for it. One shell serves the whole program; tests install a fake in its place.
class Shell
{
public:
    virtual ~Shell();

    // Opens file and waits for the program that opens it to end; parameters go to file when it
    // is itself a program. False when nothing could be started.
    virtual bool openAndWait(const QString &file, const QString &parameters) = 0;

    // The shell in use: the desktop's own unless another has been installed.
    static Shell &current();
    // Puts shell in place of the desktop's own (nullptr restores it); the caller keeps it.
    static void setCurrent(Shell *shell);
};
