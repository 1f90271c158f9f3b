#pragma once

#include <QString>

// Whether a connection string's Data Source names a PostgreSQL server rather than a file:
// a connection URI (postgresql://... or postgres://...) or a keyword string whose first item
// is one of the server's connection keywords (host=... dbname=...).
bool isServerDataSource(const QString &dataSource);
