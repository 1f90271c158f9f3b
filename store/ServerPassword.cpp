#include "ServerPassword.h"

#include "Keyring.h"

namespace {

ServerPassword::Prompt &current()
{
    static ServerPassword::Prompt prompt;
    return prompt;
}

} // namespace

namespace ServerPassword {

void setPrompt(Prompt prompt)
{
    current() = std::move(prompt);
}

const Prompt &prompt()
{
    return current();
}

Attempts::Attempts(QString server, bool refusedBefore)
    : m_server(std::move(server)), m_last(refusedBefore ? Refused::Typed : Refused::Nothing)
{
}

std::optional<QByteArray> Attempts::next()
{
    const Prompt &ask = prompt();
    if (!ask)
        return std::nullopt;
    m_toKeep.reset();
    if (m_last == Refused::Nothing) {
        m_last = Refused::Kept;
        if (std::optional<QByteArray> kept = Keyring::find(m_server))
            return kept;
        m_last = Refused::Nothing;
    }
    const std::optional<Answer> answer = ask(m_server, m_last);
    if (!answer)
        return std::nullopt;
    m_last = Refused::Typed;
    if (answer->keep)
        m_toKeep = answer->password;
    return answer->password;
}

void Attempts::accepted()
{
    if (m_toKeep)
        Keyring::keep(m_server, *m_toKeep);
    m_toKeep.reset();
}

} // namespace ServerPassword
