#pragma once

#include <QString>

// The user's locale settings that the program asks for. Tests stand in a subclass with
// answers of their own.
class LocaleInfo
{
public:
    virtual ~LocaleInfo() = default;

    // The short date format, in the pattern letters d, M and y ("d/M/yy"); empty when the
    // locale gives none.
    virtual QString shortDateFormat() const;
    // "1" when years are written with four digits, "0" with two.
    virtual QString centurySetting() const;
};
