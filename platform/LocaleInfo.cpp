#include "LocaleInfo.h"

#include <QLocale>
#include <unicode/uloc.h>

QString LocaleInfo::shortDateFormat() const
{
    return QLocale::system().dateFormat(QLocale::ShortFormat);
}

QString LocaleInfo::centurySetting() const
{
    return shortDateFormat().contains(QLatin1String("yyyy")) ? QStringLiteral("1") : QStringLiteral("0");
}

quint16 LocaleInfo::userLanguage() const
{
    // The first language of the user interface, which the language settings put first.
    const QStringList languages = QLocale::system().uiLanguages();
    return windowsLanguageId(languages.isEmpty() ? QLocale::system() : QLocale(languages.first()));
}

quint16 LocaleInfo::windowsLanguageId(const QLocale &locale)
{
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return 0;
    // The library of the Unicode consortium keeps the table of Windows locale identifiers;
    // their low 16 bits are the language identifier.
    return quint16(uloc_getLCID(locale.name().toUtf8().constData()) & 0xFFFF);
}
