#pragma once

#include <QString>

// Makes a database file filled with sample speeches (see SampleSpeeches).
namespace SampleDatabase {

// Creates path with the given number of speeches spread evenly over the first languages
// of the sample list, interleaved as a user adds them over time. When smallLanguageSize is
// above 0, the last language gets exactly that many speeches and the others share the
// rest. Raises EDatabaseError and removes the file when it cannot be made; never touches
// an existing file.
void create(const QString &path, int speeches, int languages, int smallLanguageSize = 0);

} // namespace SampleDatabase
