#pragma once

#include <QString>

class Connection;

// Makes sure the open database holds the tables of a speech database, so that an empty or
// foreign file is named as such instead of failing at its first query. Raises
// EDatabaseError naming the file and what to do.
void requireSpeechTables(Connection &connection, const QString &path);
