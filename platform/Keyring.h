#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The desktop's keyring (the Secret Service): a server's password kept under the server's
// name, for the user alone. Where no desktop session runs, nothing is kept and nothing found.
namespace Keyring {

// Whether a desktop session is there to ask, with a keyring that has not stopped answering;
// otherwise nothing is tried.
bool available();
// Why the keyring is not available, in a few words; empty when it is.
QString whyUnavailable();
// The password kept for the server; none when there is none or the keyring cannot be asked.
std::optional<QByteArray> find(const QString &server);
// Keeps the password; false when it could not be kept, with the keyring's reason in failure.
bool keep(const QString &server, const QByteArray &password, QString *failure = nullptr);
// Removes the password kept for the server; false when it could not be removed (none kept is
// no failure), with the keyring's reason in failure.
bool forget(const QString &server, QString *failure = nullptr);

} // namespace Keyring
