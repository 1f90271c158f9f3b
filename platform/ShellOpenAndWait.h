#pragma once

#include <QString>

// Opens File (a document, an address or a link) through the shell in use and waits for the
// program that opens it to end. A target that cannot be opened brings no message here.
void ShellOpenAndWait(const QString &File, const QString &Parameters);
