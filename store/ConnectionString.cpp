#include "ConnectionString.h"

#include "EDatabaseError.h"
#include "TextFormat.h"

namespace ConnectionString {

namespace {

const QLatin1String DataSourceKey("Data Source=");

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

[[noreturn]] void refuse(const QString &connectionString, const QString &what)
{
    throw EDatabaseError(QStringLiteral("The connection string \"%1\" cannot be read: %2").arg(connectionString, what));
}

// A value in quotes from start (the opening quote) to its closing quote.
QString quotedValue(const QString &connectionString, qsizetype start)
{
    const QChar quote = connectionString[start];
    QString value;
    for (qsizetype at = start + 1; at < connectionString.size(); ++at) {
        if (connectionString[at] != quote) {
            value += connectionString[at];
            continue;
        }
        if (at + 1 < connectionString.size() && connectionString[at + 1] == quote) {
            value += quote;
            ++at;
            continue;
        }
        if (at + 1 < connectionString.size() && connectionString[at + 1] != QLatin1Char(';'))
            refuse(connectionString, QStringLiteral("the quoted Data Source is followed by more than the next item"));
        return value;
    }
    refuse(connectionString, QStringLiteral("the quoted Data Source has no closing quote"));
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isNameCharacter(QChar c)
{
    return isAsciiLetter(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char(' ') ||
           c == QLatin1Char(':') || c == QLatin1Char('_');
}

// White space between a ';' and the next name: ASCII's only (space, and tab to carriage
// return), as the strings have always been read.
bool isSpaceBeforeName(QChar c)
{
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

} // namespace

// Read by hand rather than by a pattern, which would be compiled at every start.
qsizetype nextItemStart(const QString &connectionString, qsizetype from)
{
    const qsizetype size = connectionString.size();
    for (qsizetype semicolon = connectionString.indexOf(QLatin1Char(';'), from); semicolon >= 0;
         semicolon = connectionString.indexOf(QLatin1Char(';'), semicolon + 1)) {
        qsizetype at = semicolon + 1;
        while (at < size && isSpaceBeforeName(connectionString[at]))
            ++at;
        if (at >= size || !isAsciiLetter(connectionString[at]))
            continue;
        while (at < size && isNameCharacter(connectionString[at]))
            ++at;
        if (at < size && connectionString[at] == QLatin1Char('='))
            return semicolon;
    }
    return -1;
}

QString dataSource(const QString &connectionString)
{
    qsizetype start = -1;
    for (qsizetype at = connectionString.indexOf(DataSourceKey, 0, Qt::CaseInsensitive); at >= 0;
         at = connectionString.indexOf(DataSourceKey, at + 1, Qt::CaseInsensitive)) {
        if (at == 0 || connectionString[at - 1] == QLatin1Char(';')) {
            start = at + DataSourceKey.size();
            break;
        }
    }
    if (start < 0)
        return QString();
    if (start < connectionString.size() && isQuote(connectionString[start]))
        return quotedValue(connectionString, start);
    const qsizetype next = nextItemStart(connectionString, start);
    const qsizetype end = next >= 0 ? next : connectionString.size();
    QString value = connectionString.mid(start, end - start);
    if (value.endsWith(QLatin1Char(';')) && next < 0)
        value.chop(1);
    return value;
}

QString quotedDataSource(const QString &connectionTemplate, const QString &value)
{
    try {
        if (dataSource(formatText(connectionTemplate, {value})) == value)
            return value;
    } catch (const EDatabaseError &) {
        // A value that opens a quote of its own is quoted below.
    }
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace ConnectionString
