#pragma once

#include <QList>
#include <QString>
#include <utility>

// Reads and writes settings files of the Windows profile format ("[Section]" lines and
// "Key=Value" lines), in the encodings and with the line ends Windows reads (see ProfileText).
// Names match without regard to case and surrounding blanks, the first matching section and
// key win, and every line the writer does not touch is kept byte for byte.
namespace PrivateProfile {

// The value of key in section, or defaultValue when the file, section or key is missing or
// the file cannot be read. Like the system call it reads through a buffer of bufferSize
// characters, the last one reserved for the terminating zero.
// A file left unchanged since it was last read (same file, size and change time, changed
// more than a second before that read) is served from memory instead of read again.
QString getString(const QString &section, const QString &key, const QString &defaultValue,
                  const QString &fileName, int bufferSize = 2048);

// Stores value under key in section, creating the file, the section or the key as needed.
// The file is replaced as a whole (temporary file written through to the disk, then renamed),
// so a crash or a full disk leaves the old file or the new one. Returns false, and leaves the
// file as it was, when the file cannot be written, or when it exists but cannot be read
// whole (no permission, larger than 1 MiB): what was not read is never replaced.
bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &fileName);

// Stores several values of section, each as writeString would, in one replacement of the file:
// all of them, or none when the write is refused.
bool writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues,
                  const QString &fileName);

} // namespace PrivateProfile
