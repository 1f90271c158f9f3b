#pragma once

#include <QByteArray>
#include <utility>
#include <vector>

// The connection settings the program asks for unless the connection string or the
// environment (PGSSLMODE, PGCHANNELBINDING, PGCONNECT_TIMEOUT) says otherwise: a server reached
// over the network must prove who it is with a certificate and bind the password exchange to
// that encrypted channel; a Unix socket needs neither. Every connection gives up after a while.
namespace PostgresConnectDefaults {

using Settings = std::vector<std::pair<QByteArray, QByteArray>>;

// The keyword/value pairs to put before the data source's own; the data source must be one
// PostgreSQL reads.
Settings forDataSource(const QByteArray &dataSource);

// When the data source (or PGSERVICE) names a service: every option a connection would use,
// the service file's entry expanded, read without sending anything to a server; otherwise none.
Settings serviceExpanded(const QByteArray &dataSource);
// The value of keyword in settings, or empty.
QByteArray valueIn(const Settings &settings, const char *keyword);

// Whether the connection reaches a host over TCP rather than a Unix socket (a host that is
// not a folder, or a host address), given the host and hostaddr values (comma lists).
bool overNetwork(const QByteArray &host, const QByteArray &hostaddr);

} // namespace PostgresConnectDefaults
