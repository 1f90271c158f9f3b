#pragma once

#include <QByteArray>
#include <QString>

// Writes a new file that only its owner may read (mode 0600), whole or not at all: it appears
// under its name only once every byte is on the disk, never replaces or follows anything that
// already has that name (a file, or a symlink someone planted, dangling or not), and leaves
// nothing behind when it fails.
namespace NewPrivateFile {

// False, with errno's account in error when given, when the file could not be written;
// EEXIST when something has the name already.
bool write(const QString &path, const QByteArray &content, int *error = nullptr);

// Creates an empty private file under a name nobody can guess in path's folder, to be given
// path's name once it is whole; returns its descriptor (open for writing) and its name in
// temporary, or -1 with errno set.
int createTemporary(const QString &path, QByteArray *temporary);

} // namespace NewPrivateFile
