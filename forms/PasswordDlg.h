#pragma once

#include "ServerPassword.h"

// Asks the user for a server's password in a masked field, offering to keep it in the keyring;
// none when the user cancels. The password goes nowhere else: not into the settings, a message
// or a log.
std::optional<ServerPassword::Answer> askServerPassword(const QString &server, ServerPassword::Refused refused);
