#pragma once

#include <QString>

class QLocale;

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
    // The Windows language identifier of the language the user reads (0x0407 for German as
    // spoken in Germany), or 0 when the locale names no language Windows knows.
    virtual quint16 userLanguage() const;

    // The Windows language identifier of locale's language and territory, or 0.
    static quint16 windowsLanguageId(const QLocale &locale);
};
