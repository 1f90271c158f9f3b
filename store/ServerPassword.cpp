#include "ServerPassword.h"

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

} // namespace ServerPassword
