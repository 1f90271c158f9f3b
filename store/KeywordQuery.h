#pragma once

#include <QString>
#include <optional>

struct SqlCommand;

// The program's keyword search, told apart from every other command: the speeches of one
// language whose keywords are Like a pattern. Other commands are not recognised and run
// as they are written.
struct KeywordQuery
{
    QString pattern; // the Like pattern as the command holds it
    int languageId = 0;

    static std::optional<KeywordQuery> recognize(const SqlCommand &command);
};
