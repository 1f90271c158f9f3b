#pragma once

#include <QString>

// Whether a connection string's Data Source names a PostgreSQL server rather than a file:
// exactly when PostgreSQL's own client library reads it as a connection URI
// (postgresql://... or postgres://...) or as a keyword string (host=... dbname=...).
bool isServerDataSource(const QString &dataSource);

// Whether a data source that is no server still reads like a try at one (it begins with a
// server's connection keyword and '=' or with a URI scheme), so that it is refused rather
// than taken for a file name that may hold a password.
bool looksLikeServerDataSource(const QString &dataSource);

// A server's data source as it may be written into the settings or shown: a password in it (and
// any other secret, such as a key's sslpassword) is left out (the program then asks for it, or finds it in the keyring), the rest written as a
// keyword string that libpq reads to the same settings. Any other data source comes back as it is.
QString withoutPassword(const QString &dataSource);

// The refusal of a data source that looksLikeServerDataSource() but is no server; it never
// repeats the data source.
QString unreadableServerDataSource();
