#pragma once

#include <QStringList>
#include <QTextStream>

// tinlark-makedb --backup FILE DIR: a checked backup of the library file FILE in the folder
// DIR, named by the day, the older backups there thinned out as the program's settings say.
// Returns the exit status: 0 made, 1 failed, 2 refused (a server library).
int backupCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

// A checked backup of the library file into folder, the older ones there thinned out as the
// program's settings say; returns the backup's path. Raises EDatabaseError when it cannot.
QString backUpAndRotate(const QString &file, const QString &folder);
