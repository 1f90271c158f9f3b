#pragma once

#include <QString>

// Reads and writes settings files of the Windows profile format ("[Section]" lines and
// "Key=Value" lines). Names match without regard to case and surrounding blanks, the first
// matching section and key win, and every line the writer does not touch is kept as it was.
namespace PrivateProfile {

// The value of key in section, or defaultValue when the file, section or key is missing.
// Like the system call it reads through a buffer of bufferSize characters, the last one
// reserved for the terminating zero.
QString getString(const QString &section, const QString &key, const QString &defaultValue,
                  const QString &fileName, int bufferSize = 2048);

// Stores value under key in section, creating the file, the section or the key as needed.
// The file is replaced as a whole (temporary file, then rename), so a crash leaves either
// the old or the new file. Returns false when the file cannot be written.
bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &fileName);

} // namespace PrivateProfile
