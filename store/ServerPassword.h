#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// Where a server's password comes from when the data source, the environment and the user's
// password file give none: the one kept in the desktop's keyring, else the user is asked.
// The store itself never asks anyone: the window sets the prompt.
namespace ServerPassword {

// What became of the password tried before the user is asked.
enum class Refused {
    Nothing, // none was tried
    Typed,   // the server refused the one the user typed
    Kept,    // the server refused the one kept in the keyring
};

struct Answer
{
    QByteArray password;
    bool keep = false; // into the keyring, once the server accepted it
};

// Given the server's name (never a password); answers none when the user gives none.
using Prompt = std::function<std::optional<Answer>(const QString &server, Refused refused)>;

void setPrompt(Prompt prompt);
const Prompt &prompt();

// Told what became of the keyring otherwise than the user asked; never given the password.
using Notice = std::function<void(const QString &message)>;
void setNotice(Notice notice);

// The password a server accepted during this run of the program, used by every further
// connection to it whose data source holds none (only in memory: the settings never hold it).
void remember(const QString &server, const QByteArray &password);
std::optional<QByteArray> remembered(const QString &server);

// The passwords one connection tries in turn: the kept one, then what the user types.
// Nothing is tried, kept or asked when no prompt is set, and nobody is asked off the
// program's main thread.
class Attempts
{
public:
    // refusedBefore: the connection already tried a password the user gave (for this server).
    Attempts(QString server, bool refusedBefore);

    // The next password to try, the server having wanted one or refused the last; none when
    // there is no other. A kept one that was refused leaves the keyring when the user gives
    // another without asking to keep it.
    std::optional<QByteArray> next();
    // The server accepted the last password: kept in the keyring when the user asked so
    // (replacing a kept one it refused); a keyring that cannot keep it is told of, and the
    // password asked for at the next start.
    void accepted();

private:
    QString m_server;
    Refused m_last;
    bool m_keptRefused = false;
    std::optional<QByteArray> m_toKeep;
};

} // namespace ServerPassword
