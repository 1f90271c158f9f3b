#pragma once

#include <QString>

class Connection;
class Database;

// Makes sure the open database holds the tables of a speech database, so that an empty or
// foreign file is named as such instead of failing at its first query. Raises
// EDatabaseError naming the file and what to do.
void requireSpeechTables(Connection &connection, const QString &path);

// Whether the database already has a table Taal or Speeches.
bool hasSpeechTables(Database &database);
