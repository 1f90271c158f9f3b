#pragma once

#include <QStringList>
#include <QTextStream>

// tinlark-makedb --from-jet OLD NEW: converts the Access (Jet 3 or Jet 4) speech database
// OLD into the new database NEW (arguments: the two), says what it brought over and returns the exit code.
int fromJet(const QStringList &arguments, QTextStream &out, QTextStream &err);
