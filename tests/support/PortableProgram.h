#pragma once

#include <QString>

// The built program copied into a folder as a user lays out a portable program: the executable
// and the windows' part beside it. Returns the executable's path, or an empty text when a copy
// failed.
QString copyPortableProgram(const QString &folder);
