#pragma once

#include "BackupRotation.h"

#include <QDateTime>
#include <QString>
#include <atomic>

// Backups of a library file, made while the program has it open: SQLite's own copy of the
// file, page by page, into a private file under a name nobody can guess, checked with
// integrity_check, written through to the disk and only then given its name, which it never
// takes from anything there. A backup that fails leaves nothing behind and the earlier ones
// as they were. Backups of Speeches.csp are named Speeches-2026-12-08.csp after the day they
// were made (Speeches-2026-12-08T134501.csp for a later one of the same day), so that they
// sort by their age. The bare date is the
// day's first backup only, never taken again by a later one.
namespace LibraryBackup {

// The folder beside the database that its backups go into: "backups".
QString folderFor(const QString &databasePath);

// Makes a backup of databasePath in folder (made, with mode 0700, when missing; never through
// a symbolic link) and returns its path. Raises EDatabaseError saying why it could not, or
// EAbort once stop is set.
QString make(const QString &databasePath, const QString &folder, const QDateTime &now,
             const std::atomic_bool *stop = nullptr);

// The stamps ("2026-12-08", "2026-12-08T134501") of the backups of databasePath in folder:
// regular files whose names follow the pattern.
QStringList stampsIn(const QString &databasePath, const QString &folder);

// Removes the backups of databasePath in folder that rotation no longer keeps, never the
// backup at made (the one just made, whose path was reported).
void rotate(const QString &databasePath, const QString &folder, const BackupRotation &rotation,
            const QString &made = QString());

// A backup made now in folder, the older ones there thinned out; returns its path. Made before
// a change of a whole library (an import), and by the command line's --backup.
QString makeAndRotate(const QString &databasePath, const QString &folder, const BackupRotation &rotation);

// The day's backup: when the database's folder holds none of now's day yet, makes one and
// rotates. Returns its path, or an empty text when there was one already.
QString makeDaily(const QString &databasePath, const BackupRotation &rotation, const QDateTime &now,
                  const std::atomic_bool *stop = nullptr);

} // namespace LibraryBackup
