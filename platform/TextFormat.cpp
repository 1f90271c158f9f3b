#include "TextFormat.h"

QString formatText(const QString &pattern, const QVariantList &arguments)
{
    QString result;
    result.reserve(pattern.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c != QLatin1Char('%') || i + 1 >= pattern.size()) {
            result += c;
            continue;
        }
        const QChar directive = pattern[i + 1];
        if (directive == QLatin1Char('%')) {
            result += QLatin1Char('%');
            ++i;
        } else if ((directive == QLatin1Char('s') || directive == QLatin1Char('d')) && next < arguments.size()) {
            const QVariant &argument = arguments[next++];
            result += directive == QLatin1Char('d') ? QString::number(argument.toLongLong()) : argument.toString();
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}
