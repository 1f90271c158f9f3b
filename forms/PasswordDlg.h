#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Asks the user for a server's password in a masked field; none when the user cancels. The
// password goes nowhere else: not into the settings, a message or a log.
std::optional<QByteArray> askServerPassword(const QString &server, bool refused);
