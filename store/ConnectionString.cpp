#include "ConnectionString.h"

#include "EDatabaseError.h"
#include "TextFormat.h"

#include <QRegularExpression>

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

} // namespace

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
    // The value ends where the next item begins: a ';' followed by a name and '='.
    static const QRegularExpression nextItem(QStringLiteral(";\\s*[A-Za-z][A-Za-z0-9 :_]*="));
    const QRegularExpressionMatch match = nextItem.match(connectionString, start);
    const qsizetype end = match.hasMatch() ? match.capturedStart() : connectionString.size();
    QString value = connectionString.mid(start, end - start);
    if (value.endsWith(QLatin1Char(';')) && !match.hasMatch())
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
