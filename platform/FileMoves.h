#pragma once

#include <QString>

// Moves of whole files within one folder that never replace a file already there.
namespace FileMoves {

// Renames from to to unless to exists. Returns 0, or the errno of the failure (EEXIST when
// to exists).
int renameWithoutReplacing(const QString &from, const QString &to);
// Gives the file at from the second name to as well (a hard link), unless to exists; where
// the file system has no hard links, renames it instead. Returns 0 or the errno.
int keepUnderSecondName(const QString &from, const QString &to, bool *renamed);
// Writes the folder's list of names through to the disk, so that renames survive a crash.
void syncFolderOf(const QString &path);

} // namespace FileMoves
