#include "LocaleInfo.h"

#include <QLocale>

QString LocaleInfo::shortDateFormat() const
{
    return QLocale::system().dateFormat(QLocale::ShortFormat);
}

QString LocaleInfo::centurySetting() const
{
    return shortDateFormat().contains(QLatin1String("yyyy")) ? QStringLiteral("1") : QStringLiteral("0");
}
