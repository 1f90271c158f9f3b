#pragma once

#include <QString>

// Makes a new speech library file at path with its tables and nothing in them. Refuses
// (EDatabaseError) a name that exists, a planted link included, and leaves it as it is.
void createLibraryFile(const QString &path);
