#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// Where a server's password comes from when the data source, the environment and the user's
// password file give none: the window asks the user. The store itself never asks anyone.
namespace ServerPassword {

// Given the server's name (never a password) and whether the password given before was
// refused; answers none when the user gives none.
using Prompt = std::function<std::optional<QByteArray>(const QString &server, bool refused)>;

void setPrompt(Prompt prompt);
const Prompt &prompt();

} // namespace ServerPassword
