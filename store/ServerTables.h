#pragma once

#include <QString>

// Lays the speech tables into the empty database on the server the data source names and
// returns how the server is named in messages (never with a password). A database that has
// the tables already is refused (EDatabaseError) and left as it is.
QString createServerTables(const QString &dataSource);
