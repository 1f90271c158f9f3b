#pragma once

#include <QString>

// Why the database file at path cannot be written, in words for the user ("the file is
// read-only"); empty when it can. openedReadOnly: SQLite could open the file for reading
// only. A change also needs room for its journal file in the file's folder.
QString whyDatabaseNotWritable(const QString &path, bool openedReadOnly);
