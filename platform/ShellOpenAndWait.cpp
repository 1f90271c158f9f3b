#include "ShellOpenAndWait.h"

#include "Shell.h"

void ShellOpenAndWait(const QString &File, const QString &Parameters)
{
    Shell::current().openAndWait(File, Parameters);
}
