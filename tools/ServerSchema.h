#pragma once

#include <QStringList>
#include <QTextStream>

namespace ServerSchema {

// tinlark-makedb --server URI: lays the speech tables into the empty database on the server
// the URI names, says what it did and returns the exit code. A database that has the tables
// already is left as it is.
int makeCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace ServerSchema
